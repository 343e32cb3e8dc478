"""The runner as a process: a page that never answers, Ctrl-C, several workers, CI output, a remote browser."""

import json
import os
import signal
import socket
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ET
from pathlib import Path

import pytest

from browser import chromium_path
from runner_support import APP, PAGES, run_cli, run_steps, statuses, write_script

pytestmark = pytest.mark.skipif(chromium_path() is None, reason="no Chromium here: scripts/bootstrap --tests installs it")


@pytest.fixture
def silent_server():
    """A port that accepts connections and never answers them."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    held, stop = [], threading.Event()

    def hold():
        listener.settimeout(0.2)
        while not stop.is_set():
            try:
                held.append(listener.accept()[0])
            except OSError:
                pass

    thread = threading.Thread(target=hold, daemon=True)
    thread.start()
    yield f"http://127.0.0.1:{listener.getsockname()[1]}/report"
    stop.set()
    thread.join()
    for connection in held:
        connection.close()
    listener.close()


def test_a_link_to_a_server_that_never_answers_fails_within_the_timeout_and_the_run_goes_on(tmp_path, silent_server):
    page = tmp_path / "site" / "index.html"
    page.parent.mkdir()
    page.write_text(f'<a href="{silent_server}">Slow report</a>'
                    "<button onclick=\"document.body.append('Hello')\">Say hello</button>")
    completed, steps = run_steps(tmp_path, ["click Slow report", "click Say hello", "verify text Hello is present"],
                                 "--timeout", "2000", url=page)
    assert statuses(steps) == ["failed", "passed", "passed"], completed.stdout
    assert steps[0]["duration_ms"] < 2000 + 1500
    assert "Traceback" not in completed.stdout + completed.stderr


def test_ctrl_c_stops_at_the_current_step_and_reports_the_rest_as_not_run(tmp_path):
    script = write_script(tmp_path, "long.steps", ["click Refresh orders", "wait 20000", "click Build report",
                                                   "verify text Report ready is present"])
    outcomes = tmp_path / "outcomes.json"
    process = subprocess.Popen([sys.executable, "-m", "vantor.engine", "run", str(script), "--url", str(APP),
                                "--json", str(outcomes)], cwd=tmp_path, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True, env={**os.environ, "PYTHONUNBUFFERED": "1"})
    for line in process.stdout:
        if "[PASS] click Refresh orders" in line:
            break
    time.sleep(0.5)  # into the wait
    process.send_signal(signal.SIGINT)
    started = time.monotonic()
    rest, errors = process.communicate(timeout=60)
    assert process.returncode == 130
    assert time.monotonic() - started < 10
    assert "Traceback" not in rest + errors
    steps = json.loads(outcomes.read_text(encoding="utf-8"))[0]["steps"]
    assert statuses(steps) == ["passed", "passed", "not run", "not run"]
    report = (tmp_path / "data" / "reports" / "long" / "report.html").read_text(encoding="utf-8")
    assert report.count(">not run</td>") == 2
    assert (tmp_path / "data" / "reports" / "report.html").exists()


def test_workers_with_a_relative_folder_and_junit_that_counts_right(tmp_path):
    site = tmp_path / "site"
    site.mkdir()
    (site / "index.html").write_bytes((PAGES / "vanishing.html").read_bytes())
    write_script(tmp_path, "passes.steps", ["click Say hello", "verify text Hello is present"])
    write_script(tmp_path, "fails.steps", ["click Say hello", "verify text Goodbye is present"])
    write_script(tmp_path, "also_passes.steps", ["verify Say hello is enabled"])
    completed = run_cli("passes.steps", "fails.steps", "also_passes.steps", "--url", "site", "--workers", "2",
                        "--timeout", "1500", "--junit", "out/junit.xml", cwd=tmp_path)
    assert completed.returncode == 1, completed.stdout + completed.stderr
    assert "Totals: 3 scripts: 2 passed, 1 not passed; 5 steps: 4 passed, 1 failed" in completed.stdout
    suite = ET.parse(tmp_path / "out" / "junit.xml").getroot()
    assert (suite.get("tests"), suite.get("failures"), suite.get("errors")) == ("3", "1", "0")
    failed = [case for case in suite.iter("testcase") if case.find("failure") is not None]
    assert [case.get("name") for case in failed] == ["fails"]
    assert failed[0].find("failure").get("message").startswith("line 2: verify text Goodbye is present")


def test_ctrl_c_to_a_parallel_run_reaches_every_worker_and_starts_no_other(tmp_path):
    steps = ["click Refresh orders", "verify text Refreshed is present", "wait 20000", "click Build report"]
    for name in ("one", "two", "three"):
        write_script(tmp_path, f"{name}.steps", steps)
    outcomes = tmp_path / "outcomes.json"
    process = subprocess.Popen([sys.executable, "-m", "vantor.engine", "run", "one.steps", "two.steps", "three.steps",
                                "--url", str(APP), "--workers", "2", "--snapshots", "--json", str(outcomes)],
                               cwd=tmp_path, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    runs = tmp_path / "data" / "runs"
    deadline = time.monotonic() + 60
    # Each worker works in its own folder, where its snapshots land: once one shows
    # the text the check looks for, that worker is in its wait.
    def waiting(name):
        return any("Refreshed" in snapshot.read_text() for snapshot in (runs / name / "data" / "logs").glob("*.json"))

    while not (waiting("one") and waiting("two")):
        assert time.monotonic() < deadline and process.poll() is None, "the workers never scanned"
        time.sleep(0.1)
    time.sleep(0.5)  # into the wait
    process.send_signal(signal.SIGINT)  # to the parent alone: it passes the interrupt on
    started = time.monotonic()
    output, errors = process.communicate(timeout=60)
    assert process.returncode == 130, output + errors
    assert time.monotonic() - started < 15
    assert "Traceback" not in output + errors
    by_script = {Path(record["script"]).stem: statuses(record["steps"])
                 for record in json.loads(outcomes.read_text(encoding="utf-8"))}
    assert by_script == {"one": ["passed"] * 3 + ["not run"], "two": ["passed"] * 3 + ["not run"],
                         "three": ["not run"] * 4}
    assert all((runs / name / "data" / "reports" / "report.html").exists() for name in ("one", "two"))
    assert not (runs / "three").exists() and not (tmp_path / "data" / "reports" / "report.html").exists()


def test_run_connects_to_a_live_browser_server(tmp_path):
    from vantor.engine.runner.browser_server import browser_server

    with browser_server(chromium_path()) as endpoint:
        completed, steps = run_steps(tmp_path, ["click Refresh orders", "verify text Refreshed is present"],
                                     "--connect", endpoint)
    assert completed.returncode == 0, completed.stdout + completed.stderr
    assert statuses(steps) == ["passed", "passed"]
