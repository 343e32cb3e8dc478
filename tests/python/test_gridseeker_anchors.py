"""GridSeeker._find_anchor: exact text over attribute over prefix, interactable
over text, smallest box, reading order."""

import pytest

from spatial_pages import entry
from vantor.engine.spatial.gridseeker import GridSeeker


def labelled(index, attribute, value, **kw):
    return entry(index, "input", element={"attributes": {attribute: value}, "xpath": ""}, **kw)


def find(matrix, phrase):
    return GridSeeker(matrix)._find_anchor(phrase)


def test_exact_text_beats_attribute():
    by_attribute = labelled(0, "aria-label", "Email")
    by_text = entry(1, "text", "Email", anchor_only=True)
    assert find([by_attribute, by_text], "email") is by_text


@pytest.mark.parametrize("attribute", ["aria-label", "_label", "placeholder"])
def test_attribute_match_when_no_text_matches(attribute):
    hit = labelled(1, attribute, "EMAIL")
    assert find([entry(0, "text", "Email me", anchor_only=True), hit], "Email") is hit


def test_attribute_beats_prefix():
    prefix = entry(0, "button", "Email me")
    hit = labelled(1, "placeholder", "email")
    assert find([prefix, hit], "email") is hit


@pytest.mark.parametrize("text, found", [
    ("Email me", True), ("email(optional)", True), ("Emailing", False), ("My email", False), ("Email", True),
    ("email\tme", False),
])
def test_prefix_rule(text, found):
    candidate = entry(0, "button", text)
    assert (find([candidate], "email") is candidate) is found


def test_prefix_through_attributes_needs_a_blank():
    spaced = labelled(1, "_label", "Email address")
    assert find([labelled(0, "_label", "Emailing"), spaced], "email") is spaced
    assert find([labelled(0, "aria-label", "email(x)")], "email") is None


def test_interactable_beats_text_at_the_same_stage():
    text = entry(0, "text", "Save", anchor_only=True, w=10, h=10)
    button = entry(1, "button", "Save", w=200, h=50)
    assert find([text, button], "save") is button


def test_text_entries_are_anchors_when_nothing_else_matches():
    text = entry(0, "text", "Save", anchor_only=True)
    assert find([text, entry(1, "button", "Cancel")], "save") is text


def test_smallest_box_wins_then_reading_order():
    big, small = entry(0, "button", "Save", w=100, h=40), entry(1, "button", "Save", w=80, h=40)
    assert find([big, small], "Save") is small
    first, second = entry(0, "button", "Save", w=80, h=40), entry(1, "button", "Save", w=40, h=80)
    assert find([first, second], "Save") is first


def test_missing_position_counts_as_999_by_999():
    unplaced = entry(0, "button", "Save")
    del unplaced["position"]
    huge = entry(1, "button", "Save", w=1000, h=1000)
    assert find([unplaced, huge], "save") is unplaced
    no_width = entry(2, "button", "Save", w=5, h=5)
    del no_width["position"]["w"]
    assert find([no_width, entry(3, "button", "Save", w=100, h=50)], "save") is no_width  # 999 x 5 < 5000
    assert find([no_width, entry(3, "button", "Save", w=100, h=49)], "save") is not no_width


def test_text_is_compared_whole_after_lowering_with_python_semantics():
    assert find([entry(0, "button", " Save")], "save") is None
    sigma = entry(0, "button", "\u039f\u03a3")  # lowers to a final sigma
    assert find([sigma], "\u03bf\u03c2") is sigma
    dotted = entry(0, "button", "\u0130")
    assert find([dotted], "\u0130") is dotted and find([dotted], "i") is None


def test_nothing_found():
    assert find([], "email") is None
    assert find([entry(0, "button", "Save")], "email") is None


def test_optional_keys_take_defaults():
    bare = {"text": "Save"}
    assert find([{}, {"element": None}, bare], "save") is bare
    assert find([{"element": {"attributes": None}}, {"element": {"attributes": {"_label": ""}}}], "x") is None


@pytest.mark.parametrize("bad", [{"text": None}, {"text": 5}])
def test_non_str_text_is_a_type_error(bad):
    with pytest.raises(TypeError):
        find([bad], "save")


def test_non_str_attribute_is_a_type_error_when_it_is_read():
    with pytest.raises(TypeError):
        find([{"text": "", "element": {"attributes": {"aria-label": 5}}}], "save")
    assert find([{"text": "", "element": {"attributes": {"aria-label": 0}}}], "save") is None


def test_anchor_text_must_be_a_str():
    with pytest.raises(TypeError, match=r"_find_anchor\(\) argument 'anchor_text' must be str, not None"):
        GridSeeker([])._find_anchor(None)
