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
