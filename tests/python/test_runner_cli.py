"""The command line's answers to bad input: one clear line and an exit code, never a traceback."""


import pytest

from runner_support import engine_cli


def assert_clean_failure(completed, code, message):
    assert completed.returncode == code, completed.stderr
    assert "Traceback" not in completed.stdout + completed.stderr
    assert message in completed.stderr


@pytest.fixture
def script(tmp_path):
    def write(content, name="case.steps"):
        path = tmp_path / name
        path.write_bytes(content if isinstance(content, bytes) else content.encode("utf-8"))
        return path

    return write


@pytest.mark.parametrize("flag", ["--help", "-h"])
def test_help_lists_the_commands_and_exit_codes(flag):
    completed = engine_cli(flag)
    assert completed.returncode == 0
    assert "run" in completed.stdout and "exit codes:" in completed.stdout


def test_version_names_the_package():
    completed = engine_cli("--version")
    assert completed.returncode == 0
    assert completed.stdout.startswith("vantor.engine ")


@pytest.mark.parametrize(
    "args, message",
    [
        ([], "the following arguments are required: COMMAND"),
        (["run", "x.steps"], "the following arguments are required: --url"),
        (["run", "x.steps", "--url", "u", "--workers", "0"], "must be 1 or more"),
        (["launch"], "invalid choice: 'launch'"),
        (["run", "x.steps", "--url", "u", "--colour"], "unrecognized arguments: --colour"),
    ],
)
def test_usage_errors_follow_argparse(args, message):
    assert_clean_failure(engine_cli(*args), 2, message)


def test_missing_script(tmp_path):
    assert_clean_failure(engine_cli("run", tmp_path / "absent.steps", "--url", tmp_path), 2, "absent.steps: no such file")


def test_script_that_is_not_utf8_names_the_line(script, tmp_path):
    path = script(b"click Login\n# fine\n\xff\xfe broken\n")
    assert_clean_failure(engine_cli("run", path, "--url", tmp_path), 2, "line 3 is not valid UTF-8")


def test_folder_without_scripts(tmp_path):
    assert_clean_failure(engine_cli("run", tmp_path, "--url", tmp_path), 2, "no .steps scripts in this folder")


def test_malformed_steps_stop_before_any_browser_opens(script, tmp_path):
    path = script("click Login\n\n# a comment keeps its line\ntap Login\ntype into x\n")
    completed = engine_cli("run", path, "--url", "http://127.0.0.1:9/never-contacted")
    assert_clean_failure(completed, 2, "nothing was run")
    lines = completed.stderr.splitlines()
    assert "line 4: Unknown action 'tap'." in lines[1]
    assert lines[2].startswith("line 5: `type` instruction missing text to type.")


def test_missing_start_page_is_reported(script, tmp_path):
    path = script("click Login\n")
    assert_clean_failure(engine_cli("run", path, "--url", tmp_path / "no-such-site"), 3, "cannot open")


def test_check_shows_how_steps_read(script):
    completed = engine_cli("check", script("click second Add to cart button\nwait 500\n"))
    assert completed.returncode == 0
    assert "→ click target='Add to cart button' ordinal=2" in completed.stdout
    assert "→ wait target='500'" in completed.stdout


@pytest.mark.parametrize("command", ["run", "check"])
def test_a_line_that_validates_but_cannot_be_read_is_refused_with_its_line(script, tmp_path, command):
    path = script("click Login\nrefresh\n")
    completed = engine_cli(command, path, *(["--url", tmp_path] if command == "run" else []))
    assert completed.returncode == 2
    assert "line 2: Unrecognised instruction: 'refresh'." in completed.stdout + completed.stderr


@pytest.mark.parametrize("command", ["run", "check"])
def test_an_empty_script_is_bad_input(script, tmp_path, command):
    path = script("# only a comment\n\n")
    completed = engine_cli(command, path, *(["--url", tmp_path] if command == "run" else []))
    assert completed.returncode == 2
    assert "no steps in this script" in completed.stdout + completed.stderr


def test_headed_without_a_display_says_so(script, tmp_path, monkeypatch):
    monkeypatch.delenv("DISPLAY", raising=False)
    monkeypatch.delenv("WAYLAND_DISPLAY", raising=False)
    completed = engine_cli("run", script("click Login\n"), "--url", tmp_path, "--headed")
    assert_clean_failure(completed, 3, "no display here")
    assert "apt-get install" not in completed.stderr


def test_a_browser_path_that_is_not_a_browser_says_so_without_the_install_hint(script, tmp_path):
    impostor = tmp_path / "chromium"
    impostor.write_text("#!/bin/sh\necho not a browser >&2\nexit 1\n")
    impostor.chmod(0o755)
    completed = engine_cli("run", script("click Login\n"), "--url", tmp_path, "--browser-path", impostor)
    assert_clean_failure(completed, 3, "(--browser-path) did not start as Chromium")
    assert "apt-get install" not in completed.stderr
