"""The runner against pages that behave like real apps: drawn by script after a delay,
checks that become true later, a code editor, a script-built dropdown."""

import pytest

from browser import chromium_path
from runner_support import run_steps, statuses

pytestmark = pytest.mark.skipif(chromium_path() is None, reason="no Chromium here: scripts/bootstrap --tests installs it")


def test_a_page_drawn_after_a_delay_passes_without_wait_steps(tmp_path):
    completed, steps = run_steps(tmp_path, ["click Refresh orders", "verify text Refreshed is present"])
    assert completed.returncode == 0, completed.stdout
    assert statuses(steps) == ["passed", "passed"]
    # The page draws its content 1.5 s after load: the first step waited for it.
    assert steps[0]["waited_ms"] >= 1000
    print(f"delayed page: first step {steps[0]['duration_ms']} ms, of which waiting {steps[0]['waited_ms']} ms")


def test_a_check_that_becomes_true_after_a_second_passes(tmp_path):
    completed, steps = run_steps(tmp_path, ["click Build report", "verify text Report ready is present"])
    assert completed.returncode == 0, completed.stdout
    assert steps[1]["attempts"] > 1


def test_a_check_that_never_holds_fails_after_the_timeout_with_its_last_verdict(tmp_path):
    completed, steps = run_steps(tmp_path, ["verify Build report is disabled"], "--timeout", "2000")
    assert completed.returncode == 1
    assert 2000 <= steps[0]["duration_ms"] < 4500
    assert "state : {'present': True, 'visible': True, 'enabled': False}" not in completed.stdout
    assert "state : {'present': True, 'visible': True, 'enabled': True}" in completed.stdout
    assert "verdict : not so after 2000 ms" in completed.stdout


def test_typing_into_a_code_editor_replaces_its_text(tmp_path):
    completed, steps = run_steps(tmp_path, [
        "type SELECT name FROM users into the SQL query field",
        "click Run query",
        "verify text [SELECT name FROM users] is present",
    ])
    assert statuses(steps) == ["passed"] * 3, completed.stdout


def test_selecting_from_a_script_built_combobox(tmp_path):
    completed, steps = run_steps(tmp_path, ["select Peru from Country", "verify text Country: Peru is present"])
    assert statuses(steps) == ["passed", "passed"], completed.stdout
