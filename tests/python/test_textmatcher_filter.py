"""The action filter, XPath distance, comparison form and the tag tables."""

import pytest
from hypothesis import given
from hypothesis import strategies as st

from textmatcher_pages import element, same
from unicode_text import text
from vantor.engine.strategies.textmatcher import (
    _DIRECTIONS, _DOM_DISTANCE_THRESHOLD, _SELECTABLE_TAGS, _TEXT_ONLY_TAGS, _TYPEABLE_ROLES, _TYPEABLE_TAGS,
    _dom_distance, _filter_by_action, _norm)


def test_tables():
    assert _TYPEABLE_TAGS == {"input", "textarea"}
    assert _TYPEABLE_ROLES == {"textbox", "searchbox", "spinbutton", "combobox"}
    assert _SELECTABLE_TAGS == {"select"}
    assert _TEXT_ONLY_TAGS == {"span", "p", "label", "h1", "h2", "h3", "h4", "h5", "h6", "li", "td", "th", "div", "a"}
    assert all(isinstance(t, (set, frozenset)) for t in (_TYPEABLE_TAGS, _TYPEABLE_ROLES, _SELECTABLE_TAGS,
                                                          _TEXT_ONLY_TAGS))
    assert _DOM_DISTANCE_THRESHOLD == 10 and type(_DOM_DISTANCE_THRESHOLD) is int
    assert list(_DIRECTIONS.items()) == [("next to", "right"), ("right of", "right"), ("left of", "left"),
                                         ("below", "below"), ("under", "below"), ("above", "above")]


BUTTON = element("Go")
INPUT = element("", tag="input")
AREA = element("", tag="textarea")
COMBO = element("", tag="div", attributes={"role": "combobox"})
EDITABLE = element("", tag="span", is_editable_field=True)
SELECT = element("", tag="select")
CUSTOM_DROPDOWN = element("Colour", tag="div", attributes={"role": "listbox"})


@pytest.mark.parametrize("action, page, kept", [
    ("type", [BUTTON, INPUT, COMBO, AREA, EDITABLE, SELECT], [INPUT, COMBO, AREA, EDITABLE]),
    ("select", [BUTTON, CUSTOM_DROPDOWN, SELECT, INPUT], [SELECT]),
    ("type", [element("", tag="INPUT"), element("", tag="div", attributes={"role": "Textbox"})], None),
    ("type", [element("", tag="span", is_editable_field=0), element("", attributes=None)], None),
    ("select", [BUTTON, CUSTOM_DROPDOWN], None),
    ("Type", [BUTTON, INPUT], None),
    ("click", [BUTTON, INPUT], None),
    ("hover", [], None),
    ("type", [], None),
])
def test_filter_by_action(action, page, kept):
    result = _filter_by_action(action, page)
    if kept is None:
        assert result is page  # nothing qualifies or nothing narrows: the very list passed in
    else:
        assert result is not page and same(result, kept)


def test_filter_never_changes_the_list():
    page = [BUTTON, INPUT, SELECT]
    before = list(page)
    _filter_by_action("type", page)
    _filter_by_action("select", page)
    assert same(page, before)


@pytest.mark.parametrize("a, b, distance", [
    ("/html/body/div[1]/span", "/html/body/div[1]/p", 2),
    ("/html/body/div[1]/span", "/html/body/div[2]/span", 4),
    ("/html/body/div[1]/span", "/html/body/div[1]/span", 0),
    ("/html/body/", "html/body", 0),
    ("", "", 0),
    ("", "/html/body", 3),
    ("/html/body/div", "/html/body/div[1]", 2),
    ("/html[1]/body[1]", "/html[1]/body[1]/div[1]/div[1]", 2),
    ("//a//b", "a/b", 3),  # a, (empty), b against a, b
])
def test_dom_distance(a, b, distance):
    assert _dom_distance(a, b) == distance
    assert _dom_distance(b, a) == distance


@given(st.lists(st.sampled_from(["html", "body", "div[1]", "div[2]", "", "span"]), max_size=6),
       st.lists(st.sampled_from(["html", "body", "div[1]", "div[2]", "", "span"]), max_size=6),
       st.sampled_from(["", "/", "//"]), st.sampled_from(["", "/"]))
def test_dom_distance_follows_python(steps_a, steps_b, lead, trail):
    a, b = lead + "/".join(steps_a) + trail, "/".join(steps_b)
    parts_a, parts_b = a.strip("/").split("/"), b.strip("/").split("/")
    common = 0
    while common < min(len(parts_a), len(parts_b)) and parts_a[common] == parts_b[common]:
        common += 1
    assert _dom_distance(a, b) == len(parts_a) + len(parts_b) - 2 * common


@pytest.mark.parametrize("v, normed", [
    ("$1,299.00", "1299.00"), ("1299.00", "1299.00"), (" £5 ", "5"), ("€ 4,20", "420"), ("USD 42", "usd 42"),
    ("", ""), ("$,", ""), ("ÀB", "àb"),
])
def test_norm(v, normed):
    assert _norm(v) == normed


@given(text)
def test_norm_follows_python(v):
    assert _norm(v) == v.lower().replace("$", "").replace("£", "").replace("€", "").replace(",", "").strip()


@pytest.mark.parametrize("call, message", [
    (lambda: _filter_by_action(None, []), "_filter_by_action() argument 'action' must be str, not None"),
    (lambda: _filter_by_action("type", ()), "_filter_by_action() argument 'elements' must be list, not tuple"),
    (lambda: _filter_by_action("type", [1]), "elements[0] must be dict, not int"),
    (lambda: _dom_distance(1, "a"), "_dom_distance() argument 'xpath_a' must be str, not int"),
    (lambda: _dom_distance("a", None), "_dom_distance() argument 'xpath_b' must be str, not None"),
    (lambda: _norm(3), "_norm() argument 'v' must be str, not int"),
])
def test_wrong_arguments(call, message):
    with pytest.raises(TypeError) as raised:
        call()
    assert str(raised.value) == message
