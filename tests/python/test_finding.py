"""Plain-English locators in a test's own Playwright page: locate and explain."""

import pytest

from browser import chromium, page, serve  # noqa: F401  (fixtures)
from scanpages import site  # noqa: F401

import vantor.engine as engine
from vantor.engine.finding import ElementNotFound
from vantor.engine.runner.policy import POLICIES


@pytest.mark.parametrize("strategies", POLICIES)
def test_locate_gives_the_element_the_engine_picks(page, site, strategies):  # noqa: F811
    page.goto(site + "shop.html")
    button = engine.locate(page, "the second Add to cart button", strategies=strategies, timeout_ms=2000)
    expected = page.locator("button", has_text="Add to cart").nth(1)
    assert button.evaluate("el => el.outerHTML") == expected.evaluate("el => el.outerHTML")


def test_explain_names_the_strategy_and_the_candidates(page, site):  # noqa: F811
    page.goto(site + "shop.html")
    decision = engine.explain(page, "click Add to cart", strategies="spec", timeout_ms=2000)
    assert decision["resolved"] and decision["strategy"] == "text match"
    assert decision["element"] in decision["candidates"] and len(decision["candidates"]) > 1
    assert decision["parsed"]["action"] == "click" and decision["closest"] == []


def test_nothing_found_is_a_clear_error_listing_the_closest(page, site):  # noqa: F811
    page.goto(site + "shop.html")
    with pytest.raises(ElementNotFound) as error:
        engine.locate(page, "the Checkout now zebra button", strategies="spec", timeout_ms=500)
    message = str(error.value)
    assert message.startswith("no element found for 'the Checkout now zebra button'")
    assert "closest:" in message and isinstance(error.value, LookupError)


def test_the_default_strategies_find_what_a_tester_names(page, site):  # noqa: F811
    page.goto(site + "shop.html")
    decision = engine.explain(page, "verify Add to cart is visible", timeout_ms=2000)
    assert decision["resolved"] and decision["element"]["text"] == "Add to cart"
