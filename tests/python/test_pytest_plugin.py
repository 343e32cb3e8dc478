"""The pytest plugin: .steps scripts collected and run as tests, their failure
text, ini options, JUnit XML, pytest-xdist, shards, and a remote browser."""

import json
import xml.etree.ElementTree as ET

import pytest

from browser import chromium_path
from runner_support import ROOT

pytest_plugins = ("pytester",)

PAGE = """<!doctype html><html><body><h1>Orders</h1>
<button onclick="document.getElementById('done').textContent = 'Saved'">Save</button>
<p id="done"></p></body></html>"""
GOOD = ["click Save", "verify text Saved is visible"]


@pytest.fixture
def project(pytester):
    """A project with a site folder and the plugin's settings passed on the command line."""
    if chromium_path() is None:
        pytest.skip("no Chromium here")
    (pytester.path / "site").mkdir()
    (pytester.path / "site" / "index.html").write_text(PAGE)

    def script(name, lines):
        return pytester.makefile(".steps", **{name: "\n".join(lines)})

    pytester.script = script
    return pytester


def test_scripts_are_collected_only_once_a_start_url_is_given(project):
    project.script("save", GOOD)
    assert project.runpytest("--collect-only", "-q").ret == pytest.ExitCode.NO_TESTS_COLLECTED
    project.runpytest("--collect-only", "-q", "--steps-url", "site").stdout.fnmatch_lines(["save.steps::save.steps"])


def test_a_failing_step_fails_its_script_with_line_reason_and_candidates_in_junit_too(project):
    project.script("save", GOOD)
    project.script("ghost", ["click Save", "click the Delete order button"])
    result = project.runpytest_subprocess("--steps-url", "site", "--steps-timeout", "800", "-rA",
                                          "--junitxml", "junit.xml")
    result.assert_outcomes(passed=1, failed=1)
    result.stdout.fnmatch_lines(["*ghost.steps: 1 of 2 steps failed*",
                                 "*line 2: click the Delete order button — no strategy resolved*", "*report: *"])
    suite = ET.parse(project.path / "junit.xml").getroot().find("testsuite")
    assert (suite.get("tests"), suite.get("failures")) == ("2", "1")
    failure = suite.find("testcase[@name='ghost.steps']/failure")
    assert "line 2: click the Delete order button" in failure.get("message")


def test_settings_come_from_the_ini_file(project):
    project.makeini("[pytest]\nsteps_url = site\nsteps_timeout = 800\nsteps_report_dir = out\n")
    project.script("save", GOOD)
    project.runpytest_subprocess().assert_outcomes(passed=1)
    assert (project.path / "out" / "save" / "report.html").is_file()


def test_four_scripts_under_xdist(project):
    for n in range(4):
        project.script(f"save{n}", GOOD)
    result = project.runpytest_subprocess("--steps-url", "site", "-n", "2")
    result.assert_outcomes(passed=4)


def test_shards_deal_every_script_once_the_same_way_each_time(project):
    for name in ("a", "b", "c", "d", "e"):
        project.script(name, GOOD)

    def share(shard):
        lines = project.runpytest("--collect-only", "-q", "--steps-url", "site", "--shard", shard).stdout.lines
        return {line.split("::")[0] for line in lines if "::" in line}

    first, second = share("1/2"), share("2/2")
    assert first == {"a.steps", "c.steps", "e.steps"} and second == {"b.steps", "d.steps"}
    assert share("1/2") == first
    assert project.runpytest("--shard", "3/2").ret == pytest.ExitCode.USAGE_ERROR


def test_merge_joins_the_shards_results(tmp_path):
    from vantor.engine.runner.cli import main

    for n, script in enumerate(("b.steps", "a.steps")):
        record = {"script": script, "exit_code": n, "report": str(tmp_path / f"{script}.html"),
                  "counts": {"passed": 2 - n, "failed": n}, "steps": []}
        (tmp_path / f"shard{n}.json").write_text(json.dumps([record]))
    assert main(["merge", str(tmp_path / "shard0.json"), str(tmp_path / "shard1.json"),
                 "--json", str(tmp_path / "all.json"), "--index", str(tmp_path / "index.html")]) == 0
    assert [r["script"] for r in json.loads((tmp_path / "all.json").read_text())] == ["a.steps", "b.steps"]
    assert "1 of 2 scripts passed" in (tmp_path / "index.html").read_text()


def test_the_steps_fixture_runs_lines_on_the_tests_page(project):
    project.makepyfile(test_mixed=f"""
        import pytest
        from vantor.engine.pytest_plugin import StepFailed

        def test_steps(steps, steps_page, locate):
            steps_page.set_content({PAGE!r})
            steps("click Save", "verify text Saved is visible")
            assert locate("Save").inner_text() == "Save"
            with pytest.raises(StepFailed, match="click Ghost"):
                steps("click Ghost")
    """)
    project.runpytest_subprocess("--steps-timeout", "1500").assert_outcomes(passed=1)


def test_a_remote_browser_server_under_xdist(project):
    from vantor.engine.runner.browser_server import browser_server

    for n in range(2):
        project.script(f"save{n}", GOOD)
    with browser_server(chromium_path()) as endpoint:
        result = project.runpytest_subprocess("--steps-url", "site", "--steps-connect", endpoint, "-n", "2")
    result.assert_outcomes(passed=2)


def test_the_demo_runs_as_a_pytest_test(pytester):
    if chromium_path() is None:
        pytest.skip("no Chromium here")
    result = pytester.runpytest_subprocess(str(ROOT / "examples" / "demo"), "-p", "no:cacheprovider",
                                           "--rootdir", str(ROOT / "examples" / "demo"), "-n", "2")
    result.assert_outcomes(passed=len(list((ROOT / "examples" / "demo").glob("*.steps"))))
