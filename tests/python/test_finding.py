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
    decision = engine.explain(page, "click Add to cart", strategies="text", timeout_ms=2000)
    assert decision["resolved"] and decision["strategy"] == "text match"
    assert decision["element"] in decision["candidates"] and len(decision["candidates"]) > 1
    assert decision["parsed"]["action"] == "click" and decision["closest"] == []


def test_nothing_found_is_a_clear_error_listing_the_closest(page, site):  # noqa: F811
    page.goto(site + "shop.html")
    with pytest.raises(ElementNotFound) as error:
        engine.locate(page, "the Checkout now zebra button", strategies="text", timeout_ms=500)
    message = str(error.value)
    assert message.startswith("no element found for 'the Checkout now zebra button'")
    assert "closest:" in message and isinstance(error.value, LookupError)


def test_the_default_strategies_find_what_a_tester_names(page, site):  # noqa: F811
    page.goto(site + "shop.html")
    decision = engine.explain(page, "verify Add to cart is visible", timeout_ms=2000)
    assert decision["resolved"] and decision["element"]["text"] == "Add to cart"


@pytest.mark.parametrize("step, element_id, rule", [
    ("click the checkbox next to Cutting Board", "row-board",
     "checkbox in the row of element 'cutting board'"),
    ("click the Gift wrap checkbox", "gift", "checkbox named exactly 'gift wrap'"),
    ("select Standard from Ship by", "ship", "element named exactly 'ship by'"),
    ("click the Express lane switch", "express-switch", "switch named exactly 'express lane'"),
    ("click the second Edit link", "edit-board", "the 2nd link named exactly 'edit' in reading order"),
    ("verify text Leave at the door is visible", "notes", "text showing exactly 'leave at the door'"),
    ("click the Search button", "search-button", "button named exactly 'search'"),
])
def test_the_role_policy_finds_by_role_and_accessible_name(page, site, step, element_id, rule):  # noqa: F811
    page.goto(site + "facts.html")
    decision = engine.explain(page, step, strategies="role", timeout_ms=2000)
    assert decision["strategy"] == "role and name" and decision["rule"] == rule
    assert engine.locate(page, step, strategies="role", timeout_ms=2000).get_attribute("id") == element_id


def test_a_target_placed_on_the_page_goes_to_text_matching_and_spatial_first(page, site):  # noqa: F811
    page.goto(site + "facts.html")
    decision = engine.explain(page, "click the button right of Search orders", strategies="role", timeout_ms=2000)
    role_first = decision["results"]["role and name"]
    assert role_first["resolved"] is False and role_first["rule"].startswith("left to text matching and spatial")
    assert decision["strategy"] in ("text match", "spatial", "role and place")
    assert decision["element"]["xpath"].endswith("button[1]")
