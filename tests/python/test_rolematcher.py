"""RoleMatcher at the boundary: the result's keys and order, the caller's own
records handed back, the page facts read by XPath, Unicode compatibility
forms, and Python's argument errors."""

import gc

import pytest

from vantor.engine.strategies.rolematcher import RoleMatcher

ELEMENT_KEYS = ["resolved", "confidence", "element", "candidates", "ambiguous", "rule"]
CHECK_KEYS = ["resolved", "verified", "confidence", "element", "state", "candidates", "ambiguous", "rule"]


def descriptor(tag, text, xpath, x=0, y=0, visible=True, enabled=True, **attributes):
    return {"tag": tag, "text": text, "attributes": attributes,
            "bounding_box": {"x": x, "y": y, "width": 80, "height": 20},
            "is_visible": visible, "is_enabled": enabled, "xpath": xpath}


def step(action, target, value=None, ordinal=1, literal=False):
    return {"action": action, "target": target, "value": value, "ordinal": ordinal, "_literal_target": literal}


@pytest.fixture
def page():
    """A search form: a search box whose type says "search", and its Search button."""
    box = descriptor("input", "", "/html[1]/body[1]/form[1]/input[1]", type="search", id="searchbar")
    button = descriptor("input", "", "/html[1]/body[1]/form[1]/input[2]", x=100, type="submit", value="Search")
    facts = {box["xpath"]: {"role": "searchbox", "name": "", "label": "", "placeholder": "Search orders"},
             button["xpath"]: {"role": "button", "name": "Search", "label": ""}}
    return [box, button], facts


@pytest.mark.parametrize("action, target, keys, picked", [
    ("click", "the Search button", ELEMENT_KEYS, 1),
    ("click", "Search", ELEMENT_KEYS, 1),
    ("type", "Search", ELEMENT_KEYS, 0),
    ("verify_enabled", "Search button", CHECK_KEYS, 1),
])
def test_results_hand_back_the_callers_own_descriptors_in_key_order(page, action, target, keys, picked):
    elements, facts = page
    result = RoleMatcher().resolve(step(action, target), elements, [], facts)
    assert list(result) == keys
    assert result["resolved"] and result["element"] is elements[picked]
    assert all(any(c is e for e in elements) for c in result["candidates"])
    assert result["candidates"][0] is result["element"]


def test_a_check_says_what_it_verified_and_the_state_it_saw(page):
    elements, facts = page
    elements[1]["is_enabled"] = False
    result = RoleMatcher().resolve(step("verify_disabled", "Search button"), elements, None, facts)
    assert result["verified"] is True
    assert result["state"] == {"present": True, "visible": True, "enabled": False}
    text = RoleMatcher().resolve(step("verify_text_visible", "Search orders"), elements, None, facts)
    assert text["resolved"] is False and text["verified"] is False and text["state"] == {}


def test_without_facts_the_tag_and_attributes_name_the_element():
    elements = [descriptor("button", "Save", "/html[1]/body[1]/button[1]"),
                descriptor("a", "Save draft", "/html[1]/body[1]/a[1]")]
    result = RoleMatcher().resolve(step("click", "Save"), elements)
    assert result["element"] is elements[0] and result["rule"] == "element named exactly 'save'"
    assert RoleMatcher().resolve(step("click", "Save link"), elements)["element"] is elements[1]


def test_facts_name_widgets_made_of_divs_and_compatibility_forms_fold():
    switch = descriptor("div", "", "/html[1]/body[1]/div[1]")
    label = descriptor("span", "Ｖegetarian\u00a0menu", "/html[1]/body[1]/span[1]", x=100)
    facts = {switch["xpath"]: {"role": "switch", "name": "Vegetarian menu"}}
    result = RoleMatcher().resolve(step("click", "the Vegetarian menu switch"), [switch], [label], facts)
    assert result["element"] is switch
    # The label's text is the same name once NFKC folds the full-width V.
    text = RoleMatcher().resolve(step("verify_text_visible", "Vegetarian menu"), [], [label], facts)
    assert text["element"] is label and text["state"] == {"present": True, "visible": True}


def test_a_tie_is_resolved_to_the_first_in_reading_order_and_flagged():
    elements = [descriptor("button", "Share", "/html[1]/body[1]/button[1]", x=400),
                descriptor("button", "Share", "/html[1]/body[1]/button[2]", x=10)]
    result = RoleMatcher().resolve(step("click", "Share"), elements)
    assert result["ambiguous"] is True and result["element"] is elements[1]
    assert result["candidates"] == [elements[1], elements[0]]


def test_spatial_targets_wait_for_text_matching_and_spatial(page):
    elements, facts = page
    label = descriptor("label", "Find", "/html[1]/body[1]/label[1]", y=-40)
    first = RoleMatcher().resolve(step("click", "the button below Find"), elements, [label], facts)
    assert first["resolved"] is False and first["rule"].startswith("left to text matching and spatial")
    placed = RoleMatcher().resolve_placed(step("click", "the button below Find"), elements, [label], facts)
    assert placed["element"] is elements[1] and placed["rule"] == "the nearest button below element 'find'"


@pytest.mark.parametrize("call, message", [
    (lambda m: m.resolve(1, []), "resolve() argument 'parsed_instruction' must be dict, not int"),
    (lambda m: m.resolve({}, "x"), "resolve() argument 'elements' must be list, not str"),
    (lambda m: m.resolve({}, [], 3), "resolve() argument 'text_elements' must be list or None, not int"),
    (lambda m: m.resolve({}, [], [], []), "resolve() argument 'facts' must be dict or None, not list"),
])
def test_wrong_arguments_raise_pythons_own_errors(call, message):
    with pytest.raises(TypeError) as error:
        call(RoleMatcher())
    assert str(error.value) == message


def test_descriptors_dropped_by_caller_code_mid_call_stay_readable():
    elements = [descriptor("button", f"Item {i}", f"/html[1]/body[1]/button[{i + 1}]", y=i) for i in range(200)]
    wanted = elements[150]

    class Finaliser:  # garbage in a cycle whose finaliser empties the caller's list
        def __init__(self):
            self.self = self

        def __del__(self):
            elements.clear()

    was, threshold = gc.isenabled(), gc.get_threshold()
    gc.disable()
    Finaliser()
    gc.set_threshold(1, 1, 1)
    gc.enable()
    try:
        result = RoleMatcher().resolve(step("click", "Item 150"), elements, None, {})
    finally:
        gc.set_threshold(*threshold)
        if not was:
            gc.disable()
    assert elements == []  # the finaliser did run
    assert result["element"] is wanted and result["element"]["text"] == "Item 150"


def test_bad_descriptors_raise_type_error_naming_them():
    with pytest.raises(TypeError, match=r"elements\[0\]"):
        RoleMatcher().resolve(step("click", "Go"), [3])
