"""Directional text: anchor choice, direction bounds, XPath distance, verification and extraction."""

import pytest

from textmatcher_pages import CHECK_KEYS, EXTRACTION_KEYS, element, instruction, same, text_element
from vantor.engine.strategies.textmatcher import TextMatcher

ROW = "/html[1]/body[1]/div[1]"


def span(text, cx, cy, width=40, height=20, tag="span", xpath=None, **kw):
    """A text element centred at (cx, cy)."""
    return text_element(text, tag=tag, x=cx - width / 2, y=cy - height / 2, width=width, height=height,
                        xpath=xpath or f"{ROW}/span[{abs(hash((text, cx, cy))) % 50 + 2}]", **kw)


@pytest.fixture(scope="module")
def matcher():
    return TextMatcher()


@pytest.fixture
def totals():
    total = text_element("Total", x=100, y=200, width=60, height=20, xpath=f"{ROW}/span[1]")
    price, other = span("$42.00", 300, 210), span("$9.00", 500, 210)
    return total, price, other


def verify(matcher, target, expected, texts, dom=()):
    return matcher.resolve(instruction("verify_spatial_text", target, value=expected), list(dom), texts)


def extract(matcher, target, texts, dom=()):
    return matcher.resolve(instruction("extract_text_spatial", target), list(dom), texts)


@pytest.mark.parametrize("expected, verified", [
    ("42.00", True), ("43.00", False), ("42", True), ("USD 42.00", True), ("$42.00", True), ("", False),
    ("   ", False),
])
def test_value_right_of_total(matcher, totals, expected, verified):
    total, price, other = totals
    result = verify(matcher, "right of Total", expected, [other, total, price])
    assert list(result) == CHECK_KEYS
    assert result["resolved"] is True and result["verified"] is verified and result["confidence"] == 1.0
    assert result["element"] is price and same(result["candidates"], [price, other])
    assert list(result["state"].items()) == [("expected", expected), ("actual", "$42.00")]


def test_expected_is_the_callers_own_text(matcher, totals):
    expected = "".join(["4", "2"])
    assert verify(matcher, "right of Total", expected, list(totals))["state"]["expected"] is expected


def test_an_empty_nearest_text_verifies_nothing(matcher, totals):
    total, _, _ = totals
    blank = span("  ", 300, 210)
    result = verify(matcher, "right of Total", "42", [total, blank])
    assert result["element"] is blank and result["verified"] is False and result["state"]["actual"] == ""


@pytest.mark.parametrize("target, direction, anchor", [
    ("next to the Email", "right", "Email"), ("Below the fold", "below", "fold"), ("left of a Name", "left", "Name"),
    ("UNDER an Item", "below", "Item"), ("above   Footer  ", "above", "Footer"), ("right of the a Total", "right", "Total"),
])
def test_direction_phrases_and_articles(matcher, target, direction, anchor):
    result = verify(matcher, target, "x", [])
    assert result["state"]["actual"] == f"anchor '{anchor}' not found"
    lone = text_element(anchor, x=0, y=0, xpath=f"{ROW}/span[1]")
    assert verify(matcher, target, "x", [lone])["state"]["actual"] == f"no element {direction} of '{anchor}'"


@pytest.mark.parametrize("target", ["below", "price right of Total", "right of ", "right of   ", "nearby Total", ""])
def test_no_direction_or_empty_anchor(matcher, target):
    result = verify(matcher, target, "42", [text_element("Total")])
    assert result == {"resolved": False, "verified": False, "confidence": 0.0, "element": None,
                      "state": {"expected": "42"}, "candidates": []}
    assert list(result) == CHECK_KEYS


def test_anchor_not_found(matcher):
    result = verify(matcher, "below Total", "42", [text_element("Subtotal")], [element("Totals")])
    assert result == {"resolved": False, "verified": False, "confidence": 0.0, "element": None,
                      "state": {"expected": "42", "actual": "anchor 'Total' not found"}, "candidates": []}


def test_anchor_is_the_smallest_of_equal_texts(matcher):
    heading = text_element("Total", tag="h1", x=0, y=0, width=400, height=40, xpath=f"{ROW}/h1[1]")
    cell = text_element("total", tag="td", x=100, y=200, width=60, height=20, xpath=f"{ROW}/td[1]")
    right_of_cell = span("42", 300, 210)
    right_of_heading = span("7", 500, 20)
    result = verify(matcher, "right of TOTAL", "42", [heading, right_of_heading, cell, right_of_cell])
    assert result["element"] is right_of_cell and result["verified"] is True


def test_anchor_matches_the_first_line_of_a_text(matcher):
    block = text_element(" Total \n 42.00", x=100, y=200, width=60, height=40, xpath=f"{ROW}/div[1]")
    below = span("Paid", 130, 300)
    assert verify(matcher, "below total", "paid", [block, below])["element"] is below


def test_anchor_needs_an_xpath_and_a_box(matcher):
    for missing in ("xpath", "bounding_box"):
        anchor = text_element("Total")
        anchor[missing] = ""
        assert verify(matcher, "below Total", "x", [anchor])["state"]["actual"] == "anchor 'Total' not found"


def test_element_anchors_turn_off_the_distance_filter(matcher):
    button = element("Next", x=100, y=200, width=60, height=20, xpath="/html[1]/body[1]/form[1]/button[1]")
    far = span("Page 2", 300, 210, xpath="/html[1]/body[1]" + "/div[1]" * 9 + "/span[1]")
    result = verify(matcher, "right of Next", "page 2", [far], [button])
    assert result["element"] is far and result["verified"] is True
    # a text anchor with the same geometry filters the far text out
    anchor = text_element("Next", x=100, y=200, width=60, height=20, xpath="/html[1]/body[1]/form[1]/span[1]")
    assert verify(matcher, "right of Next", "page 2", [anchor, far])["element"] is anchor


def test_element_anchor_by_aria_label_after_text(matcher):
    icon = element("", attributes={"aria-label": " Next "}, x=100, y=200, width=20, height=20)
    target = span("Go", 300, 210)
    assert verify(matcher, "right of next", "go", [target], [icon])["element"] is target
    by_text = element("next", x=900, y=900, width=20, height=20)
    # text matches come before aria-label matches: the anchor is the far button, nothing lies right of it
    result = verify(matcher, "right of next", "go", [target], [icon, by_text])
    assert result["element"] is by_text and result["candidates"] == []


@pytest.mark.parametrize("depth, kept", [(10, True), (11, False)])
def test_dom_distance_threshold(matcher, depth, kept):
    anchor = text_element("Total", x=100, y=200, width=60, height=20, xpath="/html[1]/body[1]/span[1]")
    # anchor -> body is one move up; then down depth - 1 levels
    path = "/html[1]/body[1]" + "/div[1]" * (depth - 2) + "/span[1]"
    value = span("42", 300, 210, xpath=path)
    result = verify(matcher, "right of Total", "42", [anchor, value])
    assert (result["element"] is value) is kept


@pytest.mark.parametrize("cy, inside", [(200, True), (220, True), (199.9, False), (220.5, False)])
def test_vertical_bounds_are_inclusive(matcher, cy, inside):
    anchor = text_element("Total", x=100, y=200, width=60, height=20, xpath=f"{ROW}/span[1]")
    value = span("42", 300, cy)
    assert (verify(matcher, "right of Total", "42", [anchor, value])["element"] is value) is inside


@pytest.mark.parametrize("direction, cx, cy", [("right of", 300, 210), ("left of", 20, 210), ("below", 130, 400),
                                               ("above", 130, 50), ("under", 100, 400), ("above", 160, 50)])
def test_each_direction(matcher, direction, cx, cy):
    anchor = text_element("Total", x=100, y=200, width=60, height=20, xpath=f"{ROW}/span[1]")
    value = span("v", cx, cy)
    assert verify(matcher, f"{direction} Total", "v", [value, anchor])["element"] is value


def test_the_centre_must_be_strictly_beyond_the_anchors(matcher):
    anchor = text_element("Total", x=100, y=200, width=60, height=20, xpath=f"{ROW}/span[1]")
    same_centre = span("v", 130, 210)
    assert verify(matcher, "right of Total", "v", [anchor, same_centre])["candidates"] == []


def test_only_text_tags_and_never_the_anchor_itself(matcher):
    anchor = text_element("Total", x=100, y=200, width=60, height=20, xpath=f"{ROW}/span[1]")
    button = span("Pay", 300, 210, tag="button")
    heading = span("Sum", 400, 210, tag="h3")
    result = verify(matcher, "right of Total", "sum", [anchor, button, anchor, heading])
    assert same(result["candidates"], [heading])


def test_equal_distances_keep_page_order(matcher):
    anchor = text_element("Total", x=100, y=200, width=60, height=20, xpath=f"{ROW}/span[1]")
    upper, lower, far = span("a", 300, 202), span("b", 300, 218), span("c", 200, 210)
    result = verify(matcher, "right of Total", "c", [upper, anchor, lower, far])
    assert same(result["candidates"], [far, upper, lower])
    assert same(verify(matcher, "right of Total", "c", [lower, anchor, upper])["candidates"], [lower, upper])


def test_missing_coordinates_are_a_key_error(matcher):
    anchor = text_element("Total", x=100, y=200, width=60, height=20, xpath=f"{ROW}/span[1]")
    broken = span("42", 300, 210)
    del broken["bounding_box"]["height"]
    with pytest.raises(KeyError) as raised:
        verify(matcher, "right of Total", "42", [anchor, broken])
    assert raised.value.args == ("height",)


def test_extraction(matcher, totals):
    total, price, other = totals
    result = extract(matcher, "right of Total", [total, other, price])
    assert list(result) == EXTRACTION_KEYS
    assert result["resolved"] is True and result["element"] is price and result["extracted"] == "$42.00"
    assert same(result["candidates"], [price, other])


def test_extraction_trims_the_text(matcher, totals):
    total, _, _ = totals
    padded = span("  $42.00 \n", 300, 210)
    assert extract(matcher, "right of Total", [total, padded])["extracted"] == "$42.00"


def test_extraction_with_nothing_in_the_direction_is_not_resolved(matcher, totals):
    total, price, _ = totals
    result = extract(matcher, "below Total", [total, price])
    assert result == {"resolved": False, "confidence": 0.0, "element": None, "extracted": "", "candidates": []}
    assert list(result) == EXTRACTION_KEYS
    # the check keeps its answer: resolved on the anchor, not verified
    check = verify(matcher, "below Total", "42", [total, price])
    assert check["resolved"] is True and check["verified"] is False and check["element"] is total
    assert check["state"]["actual"] == "no element below of 'Total'"


@pytest.mark.parametrize("target", ["Total", "below Missing", "right of "])
def test_extraction_not_found(matcher, totals, target):
    result = extract(matcher, target, list(totals))
    assert result == {"resolved": False, "confidence": 0.0, "element": None, "extracted": "", "candidates": []}


def test_private_resolvers_take_their_own_arguments(matcher, totals):
    total, price, other = totals
    result = matcher._resolve_verify_spatial_text("right of Total", "42", [total, price, other])
    assert result["element"] is price and result["verified"] is True
    result = matcher._resolve_extract_spatial_text("right of Total", [total, price], dom_elements=None)
    assert result["extracted"] == "$42.00"
    with pytest.raises(TypeError) as raised:
        matcher._resolve_verify_spatial_text("right of Total", None, [])
    assert str(raised.value) == "_resolve_verify_spatial_text() argument 'expected' must be str, not None"
    with pytest.raises(TypeError) as raised:
        matcher._resolve_extract_spatial_text("right of Total", [], 5)
    assert str(raised.value) == "_resolve_extract_spatial_text() argument 'dom_elements' must be list or None, not int"
