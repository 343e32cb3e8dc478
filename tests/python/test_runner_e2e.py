"""The runner end to end, in real Chromium: the demo, failures, bad pages, several scripts at once."""

import re
from pathlib import Path

import pytest

from browser import chromium_path
from runner_support import run_cli, write_script

ROOT = Path(__file__).resolve().parents[2]
DEMO_SITE = ROOT / "examples" / "demo" / "site"
DEMO_SCRIPT = ROOT / "examples" / "demo" / "shop.steps"
PAGES = ROOT / "tests" / "pages" / "runner"

pytestmark = pytest.mark.skipif(chromium_path() is None, reason="no Chromium here: scripts/bootstrap --tests installs it")


def report_rows(report):
    """(status, instruction) of each table row of a written report."""
    html = report.read_text(encoding="utf-8")
    rows = re.findall(r"<td><code>(.*?)</code></td>\s*<td[^>]*>(PASS|FAIL)</td>", html, re.S)
    return [(status, instruction) for instruction, status in rows]


def test_the_demo_passes_and_writes_its_report(tmp_path):
    completed = run_cli(DEMO_SCRIPT, "--url", DEMO_SITE, cwd=tmp_path)
    assert completed.returncode == 0, completed.stdout + completed.stderr
    assert "Failed       : 0" in completed.stdout
    assert "[FAIL]" not in completed.stdout
    report = tmp_path / "data" / "reports" / "report.html"
    steps = [line for line in DEMO_SCRIPT.read_text().splitlines() if line.strip() and not line.startswith("#")]
    assert len(report_rows(report)) == len(steps)
    assert f"Report: {tmp_path / 'data' / 'reports' / 'shop' / 'report.html'}" in completed.stdout


def test_a_wrong_expectation_fails_with_exit_code_1_and_its_report_row(tmp_path):
    script = write_script(tmp_path, "wrong.steps", [
        "type alice into the Username field",
        "verify Sign out is present",
        "verify text Welcome back is present",
    ])
    completed = run_cli(script, "--url", DEMO_SITE, "--timeout", "1500", cwd=tmp_path)
    assert completed.returncode == 1
    assert "  [FAIL] verify Sign out is present" in completed.stdout
    rows = report_rows(tmp_path / "data" / "reports" / "report.html")
    assert [status for status, _ in rows] == ["PASS", "FAIL", "PASS"]
    # The script's own report shows the failed line's screenshot, and only that one.
    own = tmp_path / "data" / "reports" / "wrong"
    assert sorted(path.name for path in (own / "screenshots").iterdir()) == ["line-0002.png"]
    assert '<img src="screenshots/line-0002.png"' in (own / "report.html").read_text(encoding="utf-8")


def test_a_step_on_a_vanished_element_fails_cleanly_and_the_run_goes_on(tmp_path):
    script = write_script(tmp_path, "ghost.steps", [
        "click Catch me", "click Remove the ghost", "click Catch me", "click Say hello", "verify text Hello is present",
    ])
    completed = run_cli(script, "--url", PAGES / "vanishing.html", "--timeout", "1500", cwd=tmp_path)
    assert completed.returncode == 1
    assert "Traceback" not in completed.stdout + completed.stderr
    rows = report_rows(tmp_path / "data" / "reports" / "report.html")
    assert [status for status, _ in rows] == ["PASS", "PASS", "FAIL", "PASS", "PASS"]


def test_a_browser_that_refuses_the_action_is_a_failure_with_its_reason(tmp_path):
    script = write_script(tmp_path, "covered.steps", ["click Covered", "click Say hello"])
    completed = run_cli(script, "--url", PAGES / "vanishing.html", "--timeout", "1000", cwd=tmp_path)
    assert completed.returncode == 1
    assert "Traceback" not in completed.stdout + completed.stderr
    assert "  [FAIL] click Covered" in completed.stdout
    assert "         reasons : browser: " in completed.stdout
    rows = report_rows(tmp_path / "data" / "reports" / "report.html")
    assert [status for status, _ in rows] == ["FAIL", "PASS"]


def test_stop_on_failure_ends_the_script_at_the_first_failure(tmp_path):
    script = write_script(tmp_path, "stop.steps", ["click No such button", "click Sign in"])
    completed = run_cli(script, "--url", DEMO_SITE, "--stop-on-failure", "--timeout", "1500", cwd=tmp_path)
    assert completed.returncode == 1
    assert "click Sign in" not in completed.stdout.split("--stop-on-failure")[-1].split("=====")[0]
    assert len(report_rows(tmp_path / "data" / "reports" / "report.html")) == 1
    steps_report = (tmp_path / "data" / "reports" / "stop" / "report.html").read_text(encoding="utf-8")
    assert steps_report.count(">skipped</td>") == 1


def test_several_scripts_run_in_workers_with_their_own_reports_and_an_index(tmp_path):
    passing = write_script(tmp_path, "passing.steps", ["verify Sign in is enabled"])
    failing = write_script(tmp_path, "failing.steps", ["verify Sign out is present"])
    completed = run_cli(passing, failing, "--url", DEMO_SITE, "--workers", "2", "--timeout", "1500", cwd=tmp_path)
    assert completed.returncode == 1
    runs = tmp_path / "data" / "runs"
    for name, status in [("passing", "PASS"), ("failing", "FAIL")]:
        rows = report_rows(runs / name / "data" / "reports" / "report.html")
        assert [row[0] for row in rows] == [status]
    index = (runs / "index.html").read_text(encoding="utf-8")
    assert 'href="../reports/passing/report.html"' in index and 'href="../reports/failing/report.html"' in index


@pytest.mark.parametrize(
    "args, message",
    [
        (["--url", "http://127.0.0.1:9/"], "cannot open http://127.0.0.1:9/"),
        (["--url", str(DEMO_SITE), "--browser-path", "/nonexistent/chromium"], "apt-get install chromium"),
    ],
    ids=["unreachable_url", "no_browser"],
)
def test_no_page_or_no_browser_is_one_clear_line(tmp_path, args, message):
    script = write_script(tmp_path, "one.steps", ["click Sign in"])
    completed = run_cli(script, *args, cwd=tmp_path)
    assert completed.returncode == 3
    assert "Traceback" not in completed.stderr
    assert message in completed.stderr
