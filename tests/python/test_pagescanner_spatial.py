"""Spatial labels: the nearest short visible text above an element that overlaps it horizontally."""

import math

import pytest
from hypothesis import given
from hypothesis import strategies as st

from browser import chromium, page, serve  # noqa: F401
from scanpages import one_with_id, scanned, site  # noqa: F401

from vantor.engine.browser.pagescanner import PageScanner


@pytest.fixture
def spatial(scanned):  # noqa: F811
    scanner, elements, _ = scanned("spatial.html")
    return scanner, elements


@pytest.mark.parametrize("element_id, label", [
    ("near-target", "Near heading"),  # 100 px above beats 200 px
    ("edge-target", "Left touching"),  # ends exactly at the left edge; one entirely to the right is ignored
    ("length-target", "A candidate text of sixty characters, counted: abcdefghijklm"),  # 61 characters never
    ("height-target", "Forty pixels"),  # 41 px high never
    ("flush-target", "Flush above"),  # distance 0
    ("own-label", "Own label"),  # a field label stays
    ("tie-target", "Tie first"),  # equal distances: the earlier candidate
    ("dup-target", "Duplicate"),
    ("hidden-target", "Shown candidate"),
])
def test_labels_on_a_real_page(spatial, element_id, label):
    _, elements = spatial
    assert one_with_id(elements, element_id)["attributes"]["_label"] == label


def test_candidates(spatial):
    scanner, _ = spatial
    candidates = scanner._collect_label_candidates()
    texts = [c["text"] for c in candidates]
    assert texts.count("Duplicate") == 1  # the first heading only
    assert "Hidden candidate" not in texts and "Forty-one pixels" not in texts
    assert not any(len(t) > 60 for t in texts)
    first = candidates[texts.index("Duplicate")]
    assert list(first) == ["text", "bounding_box"]
    assert first["bounding_box"]["y"] == 100


def box(x, y, width=100, height=20):
    return {"x": x, "y": y, "width": width, "height": height}


def element(bb, **attributes):
    return {"tag": "button", "text": "", "attributes": attributes, "bounding_box": bb}


def candidate(text, bb):
    return {"text": text, "bounding_box": bb}


def test_labels_are_set_in_the_callers_own_records():
    elements = [element(box(0, 100)), element(box(0, 100), _label="Mine"), element(box(500, 100))]
    attributes = elements[0]["attributes"]
    PageScanner(None)._assign_spatial_labels(elements, [candidate("Above", box(0, 50))])
    assert elements[0]["attributes"] is attributes and attributes == {"_label": "Above"}
    assert elements[1]["attributes"] == {"_label": "Mine"}
    assert elements[2]["attributes"] == {}  # nothing above it overlaps


def test_an_empty_label_is_replaced():
    elements = [element(box(0, 100), _label="")]
    PageScanner(None)._assign_spatial_labels(elements, [candidate("Above", box(0, 50))])
    assert elements[0]["attributes"]["_label"] == "Above"


def test_elements_without_a_box_or_attributes_are_read_with_defaults():
    elements = [{"tag": "a"}, {"tag": "b", "bounding_box": None}, {"tag": "c", "bounding_box": box(0, 100)}]
    with pytest.raises(KeyError):  # the third needs its attributes to be written
        PageScanner(None)._assign_spatial_labels(elements, [candidate("Above", box(0, 50))])
    PageScanner(None)._assign_spatial_labels(elements[:2], [candidate("Above", box(0, 50))])
    assert elements[:2] == [{"tag": "a"}, {"tag": "b", "bounding_box": None}]


def reference_labels(elements, candidates):
    """The rule, written out in Python: which label each element gets."""
    labels = {}
    for index, el in enumerate(elements):
        if el.get("attributes", {}).get("_label"):
            continue
        bb = el.get("bounding_box")
        if not bb:
            continue
        best_text, best_dist = "", math.inf
        for c in candidates:
            c_bb = c["bounding_box"]
            c_bottom = c_bb["y"] + c_bb["height"]
            if c_bottom > bb["y"]:
                continue
            if c_bb["x"] <= bb["x"] + bb["width"] and c_bb["x"] + c_bb["width"] >= bb["x"]:
                if bb["y"] - c_bottom < best_dist:
                    best_dist, best_text = bb["y"] - c_bottom, c["text"]
        if best_text:
            labels[index] = best_text
    return labels


coordinate = st.integers(0, 12).map(lambda v: v * 10)
boxes = st.builds(box, coordinate, coordinate, st.integers(1, 6).map(lambda v: v * 10), st.sampled_from([10, 20, 40]))


@given(st.lists(boxes, max_size=6), st.lists(st.tuples(st.sampled_from(["A", "B", "C", "D"]), boxes), max_size=6))
def test_matches_the_rule_for_any_layout(element_boxes, candidate_boxes):
    elements = [element(bb) for bb in element_boxes]
    candidates = [candidate(text, bb) for text, bb in candidate_boxes]
    expected = reference_labels(elements, candidates)
    PageScanner(None)._assign_spatial_labels(elements, candidates)
    assert {i: e["attributes"]["_label"] for i, e in enumerate(elements) if "_label" in e["attributes"]} == expected
