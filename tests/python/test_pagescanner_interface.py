"""The module's tables, its class's shape and its argument checks."""

import sys

import pytest
from hypothesis import given
from hypothesis import strategies as st

from vantor.engine.browser import pagescanner
from vantor.engine.browser.pagescanner import PageScanner

ROLES = ["button", "link", "textbox", "checkbox", "menuitem", "menuitemcheckbox", "menuitemradio", "option",
         "combobox", "searchbox", "spinbutton", "switch", "tab"]


def test_the_module_loads_playwright_and_the_settings():
    assert "playwright.sync_api" in sys.modules
    assert "vantor.engine.settings" in sys.modules
    assert pagescanner.Page is sys.modules["playwright.sync_api"].Page


def test_tables():
    assert pagescanner._NATIVE_TAGS == ["button", "input", "a", "select", "textarea"]
    assert pagescanner._ARIA_ROLES == ROLES
    assert pagescanner.CAPTURED_ATTRIBUTES == ["id", "name", "type", "placeholder", "aria-label", "aria-labelledby",
                                               "title", "role", "href", "value", "class", "data-testid", "alt"]
    assert pagescanner._CUSTOM_INPUT_SELECTOR == (
        "span[class*='editable'], div[class*='editable'], span[class*='input'], div[class*='input']")
    assert pagescanner._TEXT_TAGS == ["h1", "h2", "h3", "h4", "h5", "h6", "p", "span", "label", "li", "td", "th", "a",
                                      "button", "div"]
    assert pagescanner.TEXT_SELECTOR == ", ".join(pagescanner._TEXT_TAGS)


def test_interactable_selector_lists_the_tags_the_roles_and_images():
    selectors = pagescanner.INTERACTABLE_SELECTOR.split(", ")
    assert len(selectors) == 21
    assert selectors[:5] == pagescanner._NATIVE_TAGS
    assert selectors[5:18] == [f'[role="{role}"]' for role in ROLES]
    assert selectors[18:] == ["img[alt]", "img[data-testid]", "[data-testid]"]


def test_the_xpath_script_is_a_one_parameter_function():
    assert pagescanner._XPATH_JS.startswith("el => {")
    assert pagescanner._XPATH_JS.endswith("}")


def test_the_scanner_keeps_its_page_and_nothing_else():
    page = object()
    scanner = PageScanner(page)
    assert scanner.page is page
    other = object()
    scanner.page = other
    assert scanner.page is other


@pytest.mark.parametrize("call, message", [
    (lambda: PageScanner._dedup_text_elements(5), "_dedup_text_elements() argument 'candidates' must be list, not int"),
    (lambda: PageScanner(None)._assign_spatial_labels({}, []),
     "_assign_spatial_labels() argument 'elements' must be list, not dict"),
    (lambda: PageScanner(None)._assign_spatial_labels([], None),
     "_assign_spatial_labels() argument 'label_candidates' must be list, not None"),
    (lambda: PageScanner(None)._save_snapshot([], "x"), "_save_snapshot() argument 'text_elements' must be list, not str"),
    (lambda: pagescanner._is_custom_input(1, ""), "_is_custom_input() argument 'tag' must be str, not int"),
])
def test_wrong_argument_types_name_the_argument(call, message):
    with pytest.raises(TypeError) as error:
        call()
    assert str(error.value) == message


def reference_is_custom_input(tag, classes):
    if tag in ("input", "textarea", "select"):
        return False
    lowered = (classes or "").lower()
    return "editable" in lowered or "input" in lowered


@pytest.mark.parametrize("tag, classes, expected", [
    ("div", "rich-editable", True), ("span", "TextInput", True), ("div", "form-input", True),
    ("input", "editable", False), ("textarea", "input", False), ("select", "input", False),
    ("div", None, False), ("div", "", False), ("p", "editable", True), ("div", "\u0130nput", False),
])
def test_is_custom_input(tag, classes, expected):
    assert pagescanner._is_custom_input(tag, classes) is expected


@given(st.sampled_from(["div", "span", "input", "textarea", "select", "p"]),
       st.one_of(st.none(), st.text(), st.text(alphabet="EDITABLEinput\u0130\u212a-_ ")))
def test_is_custom_input_lowers_as_python_does(tag, classes):
    assert pagescanner._is_custom_input(tag, classes) is reference_is_custom_input(tag, classes)


def test_the_page_can_be_replaced_and_read_back():
    scanner = PageScanner(None)
    stand_in = object()
    scanner.page = stand_in
    assert scanner.page is stand_in
