"""Plain-English scripts as pytest tests.

Installed with the package (entry point `pytest11`), the plugin:
- collects every `*.steps` file as one test item once a start URL is given
  (`--steps-url`, or `steps_url` in the ini file); without one it collects
  nothing, so a project's own tests are left alone;
- runs each script as `python -m vantor.engine run` does (waiting, retries,
  the per-script HTML report with failure screenshots under `--steps-report-dir`)
  and fails the item with the failed steps' lines, reasons and closest
  candidates, so pytest's `-rA`, `-x`, `--junitxml` and pytest-xdist's `-n`
  work as usual;
- deals scripts to CI machines with `--shard INDEX/TOTAL`;
- gives Playwright tests the fixtures `steps` (runs step lines on the test's
  page and raises with the runner's failure text) and `locate` (a Locator for a
  plain-English target), on pytest-playwright's `page` when there is one, else
  on a page of its own.
"""

import contextlib
import sys
from pathlib import Path

import pytest

from vantor.engine.runner.options import DEFAULT_TIMEOUT_MS
from vantor.engine.runner.shard import ShardError, deal, parse_shard

OPTIONS = (
    # (option, ini name, help)
    ("--steps-url", "steps_url", "the start page of .steps scripts: an http(s) URL or a local folder served on 127.0.0.1"),
    ("--steps-timeout", "steps_timeout", f"how long a step may wait, in ms (default {DEFAULT_TIMEOUT_MS})"),
    ("--steps-browser-path", "steps_browser_path", "the Chromium to launch (default /usr/bin/chromium when present)"),
    ("--steps-connect", "steps_connect", "a Playwright browser server's ws:// endpoint to drive instead"),
    ("--steps-report-dir", "steps_report_dir", "where each script's report goes (default steps-reports under the rootdir)"),
)


def pytest_addoption(parser):
    group = parser.getgroup("vantor.engine", "plain-English .steps scripts")
    for option, ini, text in OPTIONS:
        group.addoption(option, dest=ini, default=None, help=text)
        parser.addini(ini, text, default=None)
    with contextlib.suppress(ValueError):  # another plugin may own --shard
        group.addoption("--shard", dest="steps_shard", default=None, metavar="INDEX/TOTAL",
                        help="run only this machine's share of the .steps scripts, dealt by path")


def setting(config, name):
    value = config.getoption(name, default=None)
    return value if value not in (None, "") else config.getini(name)


def pytest_configure(config):
    config.addinivalue_line("markers", "steps: a plain-English .steps script")
    shard = config.getoption("steps_shard", default=None)
    if shard:
        try:
            parse_shard(shard)
        except ShardError as error:
            raise pytest.UsageError(str(error)) from None


def pytest_collect_file(file_path, parent):
    if file_path.suffix == ".steps" and setting(parent.config, "steps_url"):
        return StepsFile.from_parent(parent, path=file_path)
    return None


def pytest_collection_modifyitems(config, items):
    shard = config.getoption("steps_shard", default=None)
    if not shard:
        return
    index, total = parse_shard(shard)
    scripts = [item for item in items if isinstance(item, StepsItem)]
    kept = deal(scripts, index, total, key=lambda item: item.path.relative_to(config.rootpath).as_posix())
    dropped = [item for item in scripts if item not in kept]
    if dropped:
        config.hook.pytest_deselected(items=dropped)
        items[:] = [item for item in items if item not in dropped]


class StepsFile(pytest.File):
    def collect(self):
        yield StepsItem.from_parent(self, name=self.path.name)


class ScriptFailed(Exception):
    def __init__(self, result):
        super().__init__(describe(result))
        self.result = result


class StepsItem(pytest.Item):
    def __init__(self, **kwargs):
        super().__init__(**kwargs)
        self.add_marker("steps")

    def runtest(self):
        from vantor.engine.runner.options import RunOptions
        from vantor.engine.runner.worker import run_in_folder

        config = self.config
        report_root = Path(setting(config, "steps_report_dir") or config.rootpath / "steps-reports").resolve()
        timeout = setting(config, "steps_timeout")
        options = RunOptions(url=setting(config, "steps_url"), browser_path=setting(config, "steps_browser_path"),
                             connect=setting(config, "steps_connect"), report_root=report_root,
                             timeout_ms=int(timeout) if timeout else DEFAULT_TIMEOUT_MS)
        options = _resolved_from(options, config.rootpath)
        # The reporter writes its own page to data/reports/ of the working folder:
        # each script runs in a process working in a folder of its own, so
        # parallel workers keep theirs apart.
        result, printed = run_in_folder(self.path.resolve(), options, report_root / ".work" / self.path.stem)
        sys.stdout.write(printed)
        if result.code != 0:
            raise ScriptFailed(result)

    def repr_failure(self, excinfo):
        if isinstance(excinfo.value, ScriptFailed):
            return str(excinfo.value)
        return super().repr_failure(excinfo)

    def reportinfo(self):
        return self.path, None, f"steps: {self.path.name}"


def _resolved_from(options, rootpath):
    """Local folders and files read from the rootdir, whatever the working folder."""
    from vantor.engine.runner.options import is_web_address

    if not is_web_address(options.url) and not Path(options.url).is_absolute():
        options.url = str(rootpath / options.url)
    return options.resolved()


def describe(result):
    """The failure text of a script: why nothing ran, or each failed step with its reason and closest candidates."""
    name = Path(result.script).name
    if result.problem:
        return f"{name}: not run: {result.problem}"
    failed = [outcome for outcome in result.outcomes if outcome.status == "failed"]
    lines = [f"{name}: {len(failed)} of {len(result.outcomes)} steps failed"]
    for outcome in failed:
        lines.append(f"line {outcome.line}: {outcome.text.strip()} — {outcome.reason}")
        lines += [f"    closest: {candidate.describe()}" for candidate in outcome.candidates]
        if outcome.screenshot:
            lines.append(f"    screenshot: {outcome.screenshot}")
    if result.report:
        lines.append(f"report: {result.report}")
    return "\n".join(lines)


# Fixtures for people who mix plain-English steps into their own Playwright tests.

class StepFailed(AssertionError):
    pass


@pytest.fixture(scope="session")
def steps_browser(pytestconfig):
    """A Chromium of the plugin's own, for tests without pytest-playwright's page."""
    from playwright.sync_api import sync_playwright

    from vantor.engine.runner.browser import default_browser_path

    connect = setting(pytestconfig, "steps_connect")
    with sync_playwright() as playwright:
        if connect:
            browser = playwright.chromium.connect(connect)
        else:
            browser = playwright.chromium.launch(
                executable_path=setting(pytestconfig, "steps_browser_path") or default_browser_path(),
                headless=True, args=["--no-sandbox"])
        yield browser
        browser.close()


@pytest.fixture
def steps_page(request):
    """The test's page: pytest-playwright's (or the project's own) `page` fixture when
    there is one, else a new page in the plugin's own browser."""
    with contextlib.suppress(pytest.FixtureLookupError):
        return request.getfixturevalue("page")
    browser = request.getfixturevalue("steps_browser")
    context = browser.new_context(viewport={"width": 1280, "height": 800})
    request.addfinalizer(context.close)
    return context.new_page()


@pytest.fixture
def steps(steps_page, pytestconfig):
    """steps("type alice into Username", "click Sign in") runs the lines on the test's
    page as a script would; a failing line raises StepFailed with the runner's text."""
    from vantor.engine.runner.executor import StepRunner
    from vantor.engine.runner.options import RunOptions

    timeout = setting(pytestconfig, "steps_timeout")
    runner = StepRunner(steps_page, RunOptions(url=steps_page.url, timeout_ms=int(timeout) if timeout
                                               else DEFAULT_TIMEOUT_MS))

    def run(*lines):
        outcomes = []
        for line in lines:
            outcome = runner.run(line)
            outcomes.append(outcome)
            if not outcome.passed:
                text = [f"{line.strip()} — {outcome.reason}"]
                text += [f"    closest: {candidate.describe()}" for candidate in outcome.candidates]
                raise StepFailed("\n".join(text))
        return outcomes

    return run


@pytest.fixture
def locate(steps_page):
    """locate("the second Add to cart button") -> a Playwright Locator on the test's page."""
    import vantor.engine as engine

    return lambda target, **options: engine.locate(steps_page, target, **options)
