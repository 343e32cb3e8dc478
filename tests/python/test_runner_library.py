"""Step execution as a library: a StepRunner on a page the caller owns, and a strategy put first in its policy."""

from browser import chromium, page, serve  # noqa: F401  (fixtures)
from runner_support import PAGES


def test_a_strategy_put_first_decides_and_is_named(page, serve):  # noqa: F811
    from vantor.engine.runner.executor import StepRunner
    from vantor.engine.runner.policy import Strategy, text_first_policy

    page.goto(serve(PAGES) + "vanishing.html")
    asked = []

    def say_hello_button(parsed, elements, texts):
        """Whatever the step names, the button that says hello."""
        asked.append(parsed["target"])
        chosen = next(element for element in elements if element["text"] == "Say hello")
        return {"resolved": True, "confidence": 1.0, "element": chosen, "candidates": [chosen]}

    runner = StepRunner(page, policy=[Strategy("greeter", say_hello_button), *text_first_policy()])
    clicked = runner.run("click Catch me")
    checked = StepRunner(page).run("verify text Hello is present")
    assert asked == ["Catch me"]
    assert (clicked.status, clicked.strategy, clicked.element.text) == ("passed", "greeter", "Say hello")
    assert checked.passed


def test_every_action_the_reader_knows_has_a_route_in_the_runner():
    from vantor.engine.runner.actions import BROWSER, CHECK, DIALOG, ELEMENT, KIND_OF, LOOK_UP, TEXT_CHECK
    from vantor.engine.runner.executor import OWN_STEPS

    assert set(KIND_OF.values()) <= {ELEMENT, CHECK, TEXT_CHECK, LOOK_UP, BROWSER, DIALOG}
    assert set(OWN_STEPS) == {action for action, kind in KIND_OF.items() if kind in (BROWSER, DIALOG)}


STEP_THAT_QUOTES_THE_LIST = "refresh now. Supported actions: ['click']"
WHOLE_REASON = "Unrecognised instruction: \"refresh now. Supported actions: ['click']\""


def test_a_step_that_cannot_be_read_fails_with_its_whole_reason():
    from vantor.engine.runner.executor import StepRunner

    outcome = StepRunner(page=None).run(STEP_THAT_QUOTES_THE_LIST)
    assert (outcome.status, outcome.reason) == ("failed", f"cannot read the step: {WHOLE_REASON}")


def test_validation_names_the_whole_reason_of_an_unreadable_line(tmp_path):
    from vantor.engine.agent.stepreader import StepReader
    from vantor.engine.runner.script import Script, Step, validation_issues

    script = Script(tmp_path / "s.steps", [Step(1, "click Login"), Step(3, STEP_THAT_QUOTES_THE_LIST)])
    assert validation_issues(StepReader(), script) == [f"line 3: {WHOLE_REASON}."]
