"""GridMaker: element types and search texts of interactable elements."""

import pytest

from vantor.engine.spatial.gridmaker import _TAG_TO_TYPE, _element_type, _searchable


def test_tag_table():
    assert list(_TAG_TO_TYPE.items()) == [("a", "link"), ("button", "button"), ("input", "input"),
                                          ("select", "select"), ("textarea", "input")]


@pytest.mark.parametrize("descriptor, expected", [
    ({"tag": "a"}, "link"),
    ({"tag": "button"}, "button"),
    ({"tag": "textarea"}, "input"),
    ({"tag": "select"}, "select"),
    ({"tag": "div", "attributes": {"role": "button"}}, "button"),
    ({"tag": "span", "attributes": {"role": "link"}}, "link"),
    ({"tag": "div", "attributes": {"role": "textbox"}}, "textbox"),
    ({"tag": "div", "attributes": {"role": "combobox"}}, "combobox"),
    ({"tag": "a", "attributes": {"role": "button"}}, "button"),
    ({"tag": "span", "attributes": {"role": "checkbox"}}, "span"),
    ({"tag": "span", "attributes": {"role": "Button"}}, "span"),
    ({"tag": "input", "attributes": {"type": "submit"}}, "button"),
    ({"tag": "input", "attributes": {"type": "button"}}, "button"),
    ({"tag": "input", "attributes": {"type": "reset"}}, "button"),
    ({"tag": "input", "attributes": {"type": "Submit"}}, "input"),
    ({"tag": "input", "attributes": {"type": "checkbox"}}, "input"),
    ({"tag": "input", "attributes": {"type": "checkbox", "role": "combobox"}}, "combobox"),
    ({"tag": "img"}, "img"),
    ({"tag": "INPUT"}, "INPUT"),
    ({}, ""),
    ({"attributes": None}, ""),
    ({"tag": None}, None),
    ({"tag": 7, "attributes": {"role": "link"}}, "link"),
])
def test_element_type(descriptor, expected):
    assert _element_type(descriptor) == expected


def test_unlisted_tag_is_its_own_type():
    tag = "".join(["cus", "tom-el"])
    assert _element_type({"tag": tag}) is tag


@pytest.mark.parametrize("descriptor", [{"tag": 7}, {"tag": ["a"]}, {"tag": "a", "attributes": 3}])
def test_element_type_errors(descriptor):
    with pytest.raises(TypeError):
        _element_type(descriptor)


@pytest.mark.parametrize("descriptor, expected", [
    ({"text": "Save", "attributes": {"aria-label": "Save", "name": "save_btn"}}, "Save Save save_btn"),
    ({"text": "Go", "attributes": {"_label": "L", "aria-label": "A", "placeholder": "P", "name": "N"}}, "Go L A P N"),
    ({"attributes": {"placeholder": "Search"}}, "Search"),
    ({}, ""),
    ({"text": "", "attributes": {"name": ""}}, ""),
    ({"text": "  padded  ", "attributes": {}}, "padded"),
    ({"text": " ", "attributes": {"name": "n"}}, "n"),
    ({"text": " ", "attributes": {"_label": " "}}, ""),
    ({"text": "a\u3000", "attributes": {"name": "\u2003b\u2003"}}, "a\u3000 \u2003b"),
    ({"text": None, "attributes": {"name": "n", "title": "ignored", "id": "ignored"}}, "n"),
])
def test_searchable(descriptor, expected):
    assert _searchable(descriptor) == expected


def test_searchable_matches_python_join_and_strip():
    parts = ["\u00a0x", "", " y ", "\x1cz", "w\u2029"]
    descriptor = {"text": parts[0], "attributes": dict(zip(["_label", "aria-label", "placeholder", "name"], parts[1:]))}
    assert _searchable(descriptor) == " ".join(p for p in parts if p).strip()


@pytest.mark.parametrize("descriptor", [{"text": 5}, {"attributes": {"name": ["x"]}}, {"attributes": []}])
def test_searchable_errors(descriptor):
    with pytest.raises(TypeError):
        _searchable(descriptor)


@pytest.mark.parametrize("function", [_element_type, _searchable])
def test_functions_take_a_dict(function):
    with pytest.raises(TypeError, match=r"argument 'element' must be dict, not list"):
        function([])
