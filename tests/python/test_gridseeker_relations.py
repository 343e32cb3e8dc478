"""GridSeeker's geometry and relation table at their boundaries, and rankings."""

import math

import pytest
from hypothesis import given
from hypothesis import strategies as st

from spatial_pages import entry
from vantor.engine.spatial.gridseeker import (GridSeeker, _centre_distance, _dom_distance, _overlaps_horizontally,
                                              _overlaps_vertically)

ANCHOR = entry(0, "text", "Email", x=100, y=100, w=100, h=20, anchor_only=True)  # x2 200, y2 120


def rank(candidates, strategy, ordinal=None, anchor=ANCHOR):
    return GridSeeker([])._rank(candidates, anchor, strategy, ordinal)


# -- geometry ------------------------------------------------------------------

def test_centre_distance_is_euclidean():
    a, b = entry(0, x=0, y=0, w=0, h=0), entry(1, x=3, y=4, w=0, h=0)
    assert _centre_distance(a, b) == 5.0 and type(_centre_distance(a, b)) is float


@given(st.floats(-1e6, 1e6), st.floats(-1e6, 1e6), st.floats(-1e6, 1e6), st.floats(-1e6, 1e6))
def test_centre_distance_matches_math_sqrt(ax, ay, bx, by):
    a, b = entry(0, x=ax, y=ay, w=0, h=0), entry(1, x=bx, y=by, w=0, h=0)
    assert _centre_distance(a, b) == math.sqrt((ax - bx) ** 2 + (ay - by) ** 2)


@pytest.mark.parametrize("y, overlapping", [(159, True), (160, False), (41, True), (40, False), (110, True)])
def test_row_overlap_is_strict_with_40_pixels_tolerance(y, overlapping):
    candidate = entry(1, x=500, y=y, w=10, h=20)
    assert _overlaps_vertically(candidate, ANCHOR) is overlapping
    assert _overlaps_vertically(ANCHOR, candidate) is overlapping


@pytest.mark.parametrize("x, overlapping", [(239, True), (240, False), (51, True), (50, False)])
def test_column_overlap_is_strict_with_40_pixels_tolerance(x, overlapping):
    candidate = entry(1, x=x, y=500, w=10, h=20)
    assert _overlaps_horizontally(candidate, ANCHOR) is overlapping
    assert _overlaps_horizontally(ANCHOR, candidate) is overlapping


@pytest.mark.parametrize("a, b, distance", [
    ("/html/body/div[2]/form/input[1]", "/html/body/div[2]/form/label", 2),
    ("/html/body/div/p", "/html/body/span/p", 2),
    ("/html[1]/body[1]", "/html[1]/body[1]", 0),
    ("", "", 0),
    ("", "/html/body", 3),
    ("/a/b/", "a/b", 0),
    ("//a//b", "/a/b", 3),
    ("/a/x/c/d", "/a/y/c", 3),
])
def test_dom_distance_counts_every_equal_position(a, b, distance):
    assert _dom_distance(a, b) == distance
    assert _dom_distance(b, a) == distance


@given(st.lists(st.sampled_from(["html", "body", "div[1]", "div[2]", "", "p"]), max_size=6),
       st.lists(st.sampled_from(["html", "body", "div[1]", "div[2]", "", "p"]), max_size=6))
def test_dom_distance_matches_pythons_strip_and_split(steps_a, steps_b):
    a, b = "/" + "/".join(steps_a), "/".join(steps_b) + "/"
    pa, pb = a.strip("/").split("/"), b.strip("/").split("/")
    common = sum(x == y for x, y in zip(pa, pb))
    assert _dom_distance(a, b) == len(pa) - common + len(pb) - common


def test_geometry_reads_position_keys_by_subscript():
    missing = entry(1)
    del missing["position"]["cy"]
    with pytest.raises(KeyError, match="cy"):
        _centre_distance(missing, ANCHOR)
    with pytest.raises(KeyError, match="position"):
        _overlaps_vertically({}, ANCHOR)
    with pytest.raises(TypeError):
        _dom_distance(None, "")


# -- the relation table ------------------------------------------------------------

@pytest.mark.parametrize("strategy, placement, qualifies", [
    ("below", dict(x=100, y=120), True),     # top on the anchor's bottom edge
    ("below", dict(x=100, y=119), False),
    ("below", dict(x=239, y=300), True),     # column band with tolerance
    ("below", dict(x=240, y=300), False),
    ("above", dict(x=100, y=70), True),      # bottom (y2 = 100) on the anchor's top edge
    ("above", dict(x=100, y=71), False),
    ("right", dict(x=200, y=100), True),
    ("right", dict(x=199, y=100), False),
    ("right", dict(x=300, y=159), True),
    ("right", dict(x=300, y=160), False),
    ("next_to", dict(x=200, y=100), True),
    ("next_to", dict(x=199, y=100), False),
    ("left", dict(x=50, y=100), True),       # right edge (x2 = 100) on the anchor's left edge
    ("left", dict(x=51, y=100), False),
    ("left", dict(x=0, y=31), True),
    ("left", dict(x=0, y=30), False),
    ("sideways", dict(x=100, y=200), False),
    (None, dict(x=100, y=200), False),
])
def test_relation_edges(strategy, placement, qualifies):
    candidate = entry(1, w=50, h=30, **placement)
    assert rank([candidate], strategy) == ([candidate] if qualifies else [])


@pytest.mark.parametrize("dx, steps, qualifies", [
    (300, 10, True), (300.5, 10, False), (300, 11, False), (0, 0, True)])
def test_near_is_inclusive_in_pixels_and_steps(dx, steps, qualifies):
    anchor = entry(0, x=0, y=0, w=0, h=0, element={"xpath": "/r"})
    xpath = "/r" + "/s" * steps
    candidate = entry(1, x=dx, y=0, w=0, h=0, element={"xpath": xpath})
    assert rank([candidate], "near", anchor=anchor) == ([candidate] if qualifies else [])


def test_near_takes_a_missing_xpath_as_empty():
    anchor = entry(0, x=0, y=0, w=0, h=0, element={})
    assert rank([entry(1, x=1, y=0, w=0, h=0, element={"xpath": "/" + "/x" * 9})], "near", anchor=anchor) != []
    assert rank([entry(1, x=1, y=0, w=0, h=0, element={"xpath": "/x" * 10})], "near", anchor=anchor) == []


def test_rankings_order_nearest_first_and_keep_ties_stable():
    below = [entry(i, x=100, y=y) for i, y in enumerate([400, 200, 200, 300], 1)]
    assert [c["index"] for c in rank(below, "below")] == [2, 3, 4, 1]
    above = [entry(i, x=100, y=y, h=10) for i, y in enumerate([0, 50, 50, -100], 1)]
    assert [c["index"] for c in rank(above, "above")] == [2, 3, 1, 4]
    right = [entry(i, x=x, y=100, w=10) for i, x in enumerate([500, 250, 250, 400], 1)]
    assert [c["index"] for c in rank(right, "right")] == [2, 3, 4, 1]
    left = [entry(i, x=x, y=100, w=10) for i, x in enumerate([0, 60, 60, 30], 1)]
    assert [c["index"] for c in rank(left, "left")] == [2, 3, 4, 1]


def test_left_and_right_rank_by_nearest_edge_not_centre():
    wide = entry(1, x=205, y=100, w=1000, h=20)
    narrow = entry(2, x=210, y=100, w=5, h=20)
    assert rank([narrow, wide], "right") == [wide, narrow]


def test_near_ranks_by_centre_distance():
    anchor = entry(0, x=0, y=0, w=0, h=0, element={"xpath": ""})
    far, close, tie = (entry(i, x=x, y=0, w=0, h=0, element={"xpath": ""}) for i, x in ((1, 200), (2, 50), (3, 50)))
    assert rank([far, close, tie], "near", anchor=anchor) == [close, tie, far]


def test_next_to_is_reading_order_not_distance():
    near_but_later = entry(5, x=210, y=101, w=10, h=20)
    far_but_earlier = entry(4, x=900, y=100, w=10, h=20)
    assert rank([near_but_later, far_but_earlier], "next_to") == [far_but_earlier]
    assert rank([near_but_later, far_but_earlier], "right") == [near_but_later, far_but_earlier]
    assert rank([near_but_later, far_but_earlier], "next_to", 2) == [near_but_later]


@pytest.mark.parametrize("ordinal, expected", [(None, [1, 2, 3]), (1, [1]), (2, [2]), (3, [3]), (4, [])])
def test_ordinal_selects_one_ranked_entry(ordinal, expected):
    below = [entry(i, x=100, y=200 * i) for i in (1, 2, 3)]
    assert [c["index"] for c in rank(below, "below", ordinal)] == expected


def test_rank_returns_the_callers_entries():
    candidates = [entry(1, x=100, y=200)]
    (ranked,) = rank(candidates, "below")
    assert ranked is candidates[0]


@pytest.mark.parametrize("args, message", [
    ((None, ANCHOR, "below", None), "_rank() argument 'candidates' must be list, not None"),
    (([], [], "below", None), "_rank() argument 'anchor' must be dict, not list"),
    (([], ANCHOR, 1, None), "_rank() argument 'strategy' must be str or None, not int"),
    (([], ANCHOR, "below", "2"), "_rank() argument 'ordinal' must be int or None, not str"),
])
def test_rank_argument_types(args, message):
    with pytest.raises(TypeError) as error:
        GridSeeker([])._rank(*args)
    assert str(error.value) == message
