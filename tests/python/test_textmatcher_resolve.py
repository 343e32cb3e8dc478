"""Element resolution: candidate pool, visibility, exact over contains, ordinals and sort keys, argument checks."""

import pytest

from textmatcher_pages import ELEMENT_KEYS, element, instruction, same, text_element
from vantor.engine.strategies.textmatcher import TextMatcher


@pytest.fixture(scope="module")
def matcher():
    return TextMatcher()


def resolve(matcher, action, target, dom, texts=None, ordinal=None):
    return matcher.resolve(instruction(action, target, ordinal=ordinal), dom, texts)


def test_found_record(matcher):
    login = element("Login")
    page = [element("Cancel"), login]
    result = resolve(matcher, "click", "Login", page, ordinal=1)
    assert list(result) == ELEMENT_KEYS
    assert result["resolved"] is True and result["confidence"] == 1.0 and type(result["confidence"]) is float
    assert result["element"] is login and same(result["candidates"], [login])


def test_not_found_record(matcher):
    result = resolve(matcher, "click", "Logout", [element("Login")])
    assert result == {"resolved": False, "confidence": 0.0, "element": None, "candidates": []}
    assert list(result) == ELEMENT_KEYS


def test_visible_elements_are_preferred(matcher):
    hidden, shown = element("Login", visible=False), element("Login")
    assert same(resolve(matcher, "click", "Login", [hidden, shown])["candidates"], [shown])


@pytest.mark.parametrize("flag", [False, None, 0, "", []])
def test_a_hidden_element_is_used_when_nothing_visible_matches(matcher, flag):
    hidden = element("Login", visible=flag)
    result = resolve(matcher, "click", "Login", [element("Other"), hidden])
    assert result["resolved"] and result["element"] is hidden


def test_missing_visibility_counts_as_hidden(matcher):
    unknown = {"text": "Login"}
    shown = element("Login page")
    assert resolve(matcher, "click", "Login", [unknown, shown])["element"] is shown


def test_exact_matches_win_over_contains(matcher):
    longer, exact = element("Submit order", y=0), element("Submit", y=50)
    result = resolve(matcher, "click", "Submit button", [longer, exact], ordinal=1)
    assert result["element"] is exact and same(result["candidates"], [exact])


def test_type_narrows_to_fields_and_matches_labels(matcher):
    button = element("Username")
    field = element("", tag="input", attributes={"_label": "Username", "type": "text"})
    result = resolve(matcher, "type", "Username field", [button, field])
    assert result["element"] is field
    # a click does not read labels, and does not narrow the pool
    assert resolve(matcher, "click", "Username", [field, button])["element"] is button
    assert not resolve(matcher, "click", "Username", [field])["resolved"]


def test_select_prefers_real_select_boxes(matcher):
    custom = element("Colour", tag="div")
    real = element("", tag="select", attributes={"aria-label": "Colour"})
    assert resolve(matcher, "select", "Colour dropdown", [custom, real])["element"] is real
    assert resolve(matcher, "select", "Colour", [custom])["element"] is custom


def test_reading_order_and_ordinal(matcher):
    a, b, c = element("Add", x=50, y=10), element("Add", x=20, y=10), element("Add", x=0, y=40)
    result = resolve(matcher, "click", "Add", [a, b, c], ordinal=3)
    assert same(result["candidates"], [b, a, c]) and result["element"] is c
    assert resolve(matcher, "click", "Add", [a, b, c], ordinal=1)["element"] is b
    assert resolve(matcher, "click", "Add", [a, b, c])["element"] is b  # no ordinal: the first


def test_ordinal_past_the_pool_picks_the_last(matcher):
    a, b = element("Add", y=0), element("Add", y=9)
    assert resolve(matcher, "click", "Add", [b, a], ordinal=5)["element"] is b
    assert resolve(matcher, "click", "Add", [b, a], ordinal=10**40)["element"] is b


def test_ordinal_zero_sorts_by_text_length_and_picks_the_last(matcher):
    long_, short, mid = element("Save all changes"), element("Save"), element("Save it")
    result = resolve(matcher, "click", "sav", [long_, short, mid], ordinal=0)
    assert same(result["candidates"], [short, mid, long_]) and result["element"] is long_


@pytest.mark.parametrize("ordinal, chosen", [(0, 2), (-1, 1), (-2, 0), (-3, 0), (-100, 0), (-(10**40), 0)])
def test_ordinals_below_one_count_from_the_end_and_stop_at_the_first(matcher, ordinal, chosen):
    longest, short, mid = element("Go on now"), element("Go"), element("Go on")
    result = resolve(matcher, "click", "g", [longest, short, mid], ordinal=ordinal)
    assert result["element"] is [short, mid, longest][chosen]


def test_a_bool_ordinal_is_a_number(matcher):
    first, second = element("Go", y=1), element("Go", y=2)
    assert resolve(matcher, "click", "go", [second, first], ordinal=True)["element"] is first
    assert resolve(matcher, "click", "go", [second, first], ordinal=False)["element"] is first  # 0: the last by length


def test_ties_keep_page_order(matcher):
    first, second, third = element("Buy", x=5, y=5), element("Buy", x=5, y=5), element("Buy", x=5, y=5)
    assert same(resolve(matcher, "click", "Buy", [first, second, third])["candidates"], [first, second, third])
    assert same(resolve(matcher, "click", "Buy", [third, first, second], ordinal=0)["candidates"],
                [third, first, second])


def test_missing_geometry_counts_as_zero(matcher):
    no_box = element("Buy")
    del no_box["bounding_box"]
    null_box = dict(element("Buy"), bounding_box=None)
    no_y = element("Buy", y=7)
    del no_y["bounding_box"]["y"]
    below = element("Buy", x=0, y=1)
    result = resolve(matcher, "click", "Buy", [below, no_box, null_box, no_y])
    assert same(result["candidates"], [no_box, null_box, no_y, below])


def test_fractional_and_negative_coordinates_sort_as_numbers(matcher):
    a, b, c = element("X", y=10.5), element("X", y=-3), element("X", y=10.25)
    assert same(resolve(matcher, "click", "x", [a, b, c])["candidates"], [b, c, a])


def test_extract_text_falls_back_to_visible_text_elements(matcher):
    shown = text_element("Order total: 42")
    hidden = text_element("Order total: 43", visible=False)
    result = resolve(matcher, "extract_text", "order total", [element("Cart")], [hidden, shown])
    assert result["element"] is shown
    # only extract_text looks there
    assert not resolve(matcher, "click", "order total", [element("Cart")], [shown])["resolved"]


def test_nothing_the_caller_passed_changes(matcher):
    page = [element("b", y=9), element("a b", y=1), element("b", visible=False)]
    copy = [dict(e) for e in page]
    step = instruction("click", "b", ordinal=2)
    step_copy = dict(step)
    ids = [id(e) for e in page]
    resolve(matcher, "click", "b", page, ordinal=0)
    matcher.resolve(step, page)
    assert page == copy and [id(e) for e in page] == ids and step == step_copy


@pytest.mark.parametrize("args, message", [
    ((1, []), "resolve() argument 'parsed_instruction' must be dict, not int"),
    (({}, None), "resolve() argument 'dom_elements' must be list, not None"),
    (({}, (), None), "resolve() argument 'dom_elements' must be list, not tuple"),
    (({}, [], {}), "resolve() argument 'text_elements' must be list or None, not dict"),
    (({"action": 1, "target": "a"}, []), "parsed_instruction['action'] must be str or None, not int"),
    (({"action": None, "target": "a"}, []), "parsed_instruction['action'] must be str, not None"),
    (({"action": "click", "target": None}, []), "parsed_instruction['target'] must be str, not None"),
    (({"action": "find_text", "target": None}, []), "parsed_instruction['target'] must be str, not None"),
    (({"action": "click", "target": ["a"]}, []), "parsed_instruction['target'] must be str or None, not list"),
    (({"action": "click", "target": "a", "ordinal": None}, [element("a")]),
     "parsed_instruction['ordinal'] must be int, not None"),
    (({"action": "click", "target": "a", "ordinal": "2"}, [element("a")]),
     "parsed_instruction['ordinal'] must be int, not str"),
    (({"action": "click", "target": "a", "ordinal": 1.0}, [element("a")]),
     "parsed_instruction['ordinal'] must be int, not float"),
    (({"action": "verify_spatial_text", "target": "below a", "value": None}, []),
     "parsed_instruction['value'] must be str, not None"),
    (({"action": "click", "target": "a"}, [element("a"), 3]), "dom_elements[1] must be dict, not int"),
    (({"action": "click", "target": "a"}, [element("a", y=None)]),
     "dom_elements[0]['bounding_box']['y'] must be a number, not None"),
    (({"action": "click", "target": "a"}, [dict(element("a"), bounding_box=[1, 2])]),
     "dom_elements[0]['bounding_box'] must be dict, not list"),
])
def test_type_errors(matcher, args, message):
    with pytest.raises(TypeError) as raised:
        matcher.resolve(*args)
    assert str(raised.value) == message


def test_unused_fields_are_not_checked(matcher):
    # nothing matches, so the ordinal is never compared; find_text never reads the element descriptors
    assert not matcher.resolve({"action": "click", "target": "zz", "ordinal": None}, [element("a")])["resolved"]
    assert not matcher.resolve({"action": "find_text", "target": "zz"}, [1, 2], None)["resolved"]


def test_absent_action_and_target_read_as_empty(matcher):
    # an empty target is contained in every surface: the first element in reading order
    a, b = element("A", y=5), element("B", y=1)
    assert matcher.resolve({}, [a, b])["element"] is b


def test_keyword_arguments(matcher):
    a = element("A")
    assert matcher.resolve(parsed_instruction={"action": "click", "target": "a"}, dom_elements=[a],
                           text_elements=None)["element"] is a
