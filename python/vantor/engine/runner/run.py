"""One script, start to finish: check it, open the browser, run every step, report.

The report is always written: after a failing step, a step that raised, or an
interrupt (Ctrl-C stops at the current step and marks the rest as not run).
"""

import contextlib
import logging
import signal
import sys
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path

from vantor.engine.runner.browser import BrowserUnavailable, Dialogs, PageUnreachable, default_browser_path
from vantor.engine.runner.browser import open_browser, open_page, start_url
from vantor.engine.runner.options import RunOptions, scanner_settings  # noqa: F401  (RunOptions: re-exported)
from vantor.engine.runner.outcome import NOT_RUN, SKIPPED, StepOutcome
from vantor.engine.runner.report_folder import script_report_folder
from vantor.engine.runner.script import ScriptError, read_script, validation_issues

# Exit codes: every step passed; a step failed; the input was bad (nothing ran);
# the browser or the start page could not be had; interrupted (128 + SIGINT).
PASSED, FAILED, BAD_INPUT, NO_BROWSER, INTERRUPTED = 0, 1, 2, 3, 130


@dataclass
class RunResult:
    script: str
    code: int
    passed: int = 0
    failed: int = 0
    report: str | None = None  # absolute path of the script's HTML report, once written
    outcomes: list = field(default_factory=list)
    start_url: str = ""
    browser: str = ""
    duration_ms: int = 0
    problem: str = ""  # why nothing ran (bad script, no browser)


class Interrupt:
    """Remembers a Ctrl-C (SIGINT) instead of raising, so the current step ends and the report is written."""

    def __init__(self, shared=None):
        self.requested = False
        self.shared = shared  # an Event a parent process sets to stop every worker

    def __call__(self):
        return self.requested or (self.shared is not None and self.shared.is_set())

    def request(self, *_):
        self.requested = True

    @contextlib.contextmanager
    def catching(self):
        if threading.current_thread() is not threading.main_thread():
            yield self
            return
        previous = signal.signal(signal.SIGINT, self.request)
        try:
            yield self
        finally:
            signal.signal(signal.SIGINT, previous)


def check_script(path):
    """The script's steps, or the lines saying why it cannot run (nothing printed yet)."""
    from vantor.engine.agent.stepreader import StepReader

    try:
        script = read_script(path)
    except ScriptError as error:
        return None, [f"error: {error}"]
    issues = validation_issues(StepReader(), script)
    if issues:
        return None, [f"{script.path}: {len(issues)} problem(s) found, nothing was run", *issues]
    if not script.steps:
        return None, [f"error: {script.path}: no steps in this script"]
    return script, []


def run_script(path, options, interrupt=None, policy=None):
    """Runs one script; the reporter's file goes to data/reports/ of the current folder,
    the script's own report to its folder under options.report_root."""
    script, problems = check_script(path)
    if script is None:
        print("\n".join(problems), file=sys.stderr)
        return RunResult(str(path), BAD_INPUT, problem=problems[-1])
    interrupt = interrupt or Interrupt()
    try:
        with interrupt.catching():
            return ScriptRun(script, options, interrupt, policy).run()
    except (BrowserUnavailable, PageUnreachable) as error:
        print(f"error: {error}", file=sys.stderr)
        return RunResult(str(path), NO_BROWSER, problem=str(error))


def not_started(script):
    """A script an interrupt kept from starting: every step not run."""
    try:
        steps = read_script(script).steps
    except ScriptError:
        steps = []
    outcomes = [StepOutcome(step.line, step.text, NOT_RUN) for step in steps]
    return RunResult(str(script), INTERRUPTED, outcomes=outcomes, problem="not started: interrupted")


class ScriptRun:
    def __init__(self, script, options, interrupt, policy=None):
        self.script = script
        self.options = options
        self.interrupt = interrupt
        self.policy = policy
        self.folder = script_report_folder(Path(options.report_root), script.path)

    def run(self):
        from playwright.sync_api import sync_playwright

        options = self.options
        browser_path = options.browser_path or (None if options.connect else default_browser_path())
        print(f"Running {self.script.path} ({len(self.script.steps)} steps) on {options.url}", flush=True)
        for stale in (self.folder / "screenshots").glob("*.png"):
            stale.unlink()
        started = time.monotonic()
        result = RunResult(str(self.script.path), FAILED, start_url=options.url)
        playwright = sync_playwright().start()
        try:
            with scanner_settings(options), start_url(options.url, options.serve_host,
                                                      remote=bool(options.connect)) as url:
                result.start_url = url if url == options.url else f"{url} (serving {options.url})"
                with open_browser(playwright, browser_path, options.headed, options.connect) as browser:
                    result.browser = f"{browser.browser_type.name} {browser.version}"
                    page = open_page(browser, url, options.timeout_ms)
                    self._run_steps(page, result)
        finally:
            if self.interrupt():
                # A terminal's Ctrl-C reaches the browser driver too; its complaints about
                # the closed connection are no news to the person who pressed it.
                logging.getLogger("asyncio").setLevel(logging.CRITICAL)
            with contextlib.suppress(Exception):
                playwright.stop()
        result.duration_ms = int((time.monotonic() - started) * 1000)
        self._finish(result)
        return result

    def _run_steps(self, page, result):
        from vantor.engine.agent.reporter import Reporter
        from vantor.engine.runner.executor import StepRunner

        reporter = Reporter()
        screenshots = self.folder / "screenshots"
        from vantor.engine.runner.policy import checkers_named, policy_named

        policy = self.policy if self.policy is not None else policy_named(self.options.strategies)
        runner = StepRunner(page, self.options, reporter, Dialogs(page), policy, screenshots, self.interrupt,
                            checkers=checkers_named(self.options.strategies))
        stopped = False
        try:
            for step in self.script.steps:
                if self.interrupt() or stopped:
                    result.outcomes.append(StepOutcome(step.line, step.text, NOT_RUN if self.interrupt() else SKIPPED))
                    continue
                outcome = runner.run(step)
                result.outcomes.append(outcome)
                if not outcome.passed and self.options.stop_on_failure:
                    print("Stopping at the first failure (--stop-on-failure).", flush=True)
                    stopped = True
        finally:
            for step in self.script.steps[len(result.outcomes):]:
                result.outcomes.append(StepOutcome(step.line, step.text, NOT_RUN))
            if self.interrupt():
                not_run = sum(1 for outcome in result.outcomes if outcome.status == NOT_RUN)
                print(f"Interrupted: {not_run} step(s) not run.", flush=True)
            reporter.summary()

    def _finish(self, result):
        from vantor.engine.runner.report_html import write_report

        result.passed = sum(1 for outcome in result.outcomes if outcome.passed)
        result.failed = sum(1 for outcome in result.outcomes if outcome.status not in ("passed", SKIPPED, NOT_RUN))
        result.report = str(write_report(self.folder, self.script, result))
        print(f"Report: {result.report}", flush=True)
        if self.interrupt():
            result.code = INTERRUPTED
        elif result.failed == 0 and result.passed == len(self.script.steps):
            result.code = PASSED
        else:
            result.code = FAILED
