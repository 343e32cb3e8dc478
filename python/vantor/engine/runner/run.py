"""One script, start to finish: check it, open the browser, run every step, summarise."""

import sys
from dataclasses import dataclass
from pathlib import Path

from vantor.engine import settings
from vantor.engine.runner.browser import BrowserUnavailable, Dialogs, PageUnreachable, default_browser_path
from vantor.engine.runner.browser import open_browser, open_page, start_url
from vantor.engine.runner.script import ScriptError, read_script, validation_issues

REPORT_PATH = Path("data/reports/report.html")

# Exit codes: every step passed; a step failed; the input was bad (nothing ran);
# the browser or the start page could not be had.
PASSED, FAILED, BAD_INPUT, NO_BROWSER = 0, 1, 2, 3


@dataclass
class RunOptions:
    url: str
    browser_path: str | None = None
    headed: bool = False
    connect: str | None = None
    snapshots: bool = False
    stop_on_failure: bool = False
    timeout_ms: int = 5000


@dataclass
class RunResult:
    script: str
    code: int
    passed: int = 0
    failed: int = 0
    report: str | None = None  # absolute path of the HTML report, once written


def check_script(path):
    """The script's steps, or a RunResult saying why it cannot run (nothing printed yet)."""
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


def run_script(path, options):
    """Runs one script in the current folder (the report goes to data/reports/)."""
    script, problems = check_script(path)
    if script is None:
        print("\n".join(problems), file=sys.stderr)
        return RunResult(str(path), BAD_INPUT)
    try:
        return _run_checked(script, options)
    except (BrowserUnavailable, PageUnreachable) as error:
        print(f"error: {error}", file=sys.stderr)
        return RunResult(str(path), NO_BROWSER)


def _run_checked(script, options):
    from playwright.sync_api import sync_playwright

    from vantor.engine.agent.reporter import Reporter
    from vantor.engine.runner.executor import StepExecutor

    settings.SAVE_SNAPSHOTS = options.snapshots
    browser_path = options.browser_path or (None if options.connect else default_browser_path())
    print(f"Running {script.path} ({len(script.steps)} steps) on {options.url}", flush=True)
    with sync_playwright() as playwright, start_url(options.url) as url:
        with open_browser(playwright, browser_path, options.headed, options.connect) as browser:
            page = open_page(browser, url, options.timeout_ms)
            reporter = Reporter()
            executor = StepExecutor(page, reporter, Dialogs(page))
            for step in script.steps:
                if not executor.run(step.text) and options.stop_on_failure:
                    print("Stopping at the first failure (--stop-on-failure).", flush=True)
                    break
            reporter.summary()
    passed = sum(1 for record in reporter.results if record["status"] == "PASS")
    failed = len(reporter.results) - passed
    complete = len(reporter.results) == len(script.steps)
    report = str(REPORT_PATH.resolve())
    print(f"Report: {report}", flush=True)
    code = PASSED if failed == 0 and complete else FAILED
    return RunResult(str(script.path), code, passed, failed, report)
