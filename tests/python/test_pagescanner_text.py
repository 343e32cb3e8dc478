"""Text elements and their de-duplication: wrappers give way to their children
only when the children account for all of their text."""

import pytest
from hypothesis import given
from hypothesis import strategies as st

from browser import chromium, page, serve  # noqa: F401
from scanpages import scanned, site  # noqa: F401

from vantor.engine.browser.pagescanner import PageScanner

dedup = PageScanner._dedup_text_elements


@pytest.fixture
def texts(scanned):  # noqa: F811
    scanner, _, text_elements = scanned("text.html")
    return {d["attributes"].get("id"): d for d in text_elements}, text_elements


def test_descriptor_keys_and_values(texts):
    by_id, _ = texts
    title = by_id["title"]
    assert list(title) == ["tag", "text", "has_direct_text", "attributes", "bounding_box", "is_visible", "is_enabled",
                           "xpath"]
    assert title["tag"] == "h1" and title["text"] == "Orders" and title["has_direct_text"] is True
    assert title["attributes"] == {"id": "title", "class": "page-title", "data-section": "top"}
    assert title["xpath"] == "/html[1]/body[1]/h1[1]"
    assert by_id["help"]["attributes"] == {"id": "help", "href": "/help", "aria-label": "Help centre"}


def test_a_wrapper_of_one_child_gives_way_to_it(texts):
    by_id, _ = texts
    assert "only-span" not in by_id and by_id["shipped-alone"]["text"] == "Shipped"


def test_a_wrapper_whose_children_miss_part_of_its_text_stays(texts):
    by_id, _ = texts
    assert by_id["status"]["text"] == "Status: Delivered" and by_id["status"]["has_direct_text"] is False
    assert by_id["status-value"]["text"] == "Delivered"


def test_an_element_with_text_of_its_own_stays(texts):
    by_id, _ = texts
    assert by_id["total"]["text"] == "Total: 42" and by_id["amount"]["text"] == "42"


def test_nested_wrappers_give_way_when_their_children_hold_all_the_text(texts):
    by_id, text_elements = texts
    assert "outer" not in by_id and "inner" not in by_id
    assert [d["text"] for d in text_elements if d["text"] in ("Alpha", "Beta")] == ["Alpha", "Beta"]


def test_an_unrelated_overlapping_badge_does_not_remove_a_card(texts):
    by_id, _ = texts
    assert by_id["card"]["text"] == "Price 10" and by_id["badge"]["text"] == "1"


def test_duplicate_headings_both_stay(texts):
    by_id, _ = texts
    assert by_id["welcome-one"]["text"] == by_id["welcome-two"]["text"] == "Welcome"


@pytest.mark.parametrize("element_id", ["blank", "not-displayed", "invisible"])
def test_blank_and_hidden_elements_are_not_listed(texts, element_id):
    by_id, _ = texts
    assert element_id not in by_id


def test_all_text_tags_are_read(texts):
    _, text_elements = texts
    assert {"h1", "h2", "li", "span", "div", "a", "button", "th", "td", "label", "p"} <= {d["tag"] for d in
                                                                                         text_elements}


def test_the_text_elements_are_what_extract_text_elements_returns(scanned):  # noqa: F811
    scanner, _, text_elements = scanned("text.html")
    assert scanner.extract_text_elements() == text_elements


def candidate(text, bb, direct=False):
    return {"tag": "div", "text": text, "has_direct_text": direct, "attributes": {},
            "bounding_box": dict(zip(("x", "y", "width", "height"), bb)), "is_visible": True, "is_enabled": True,
            "xpath": "/html[1]"}


def texts_of(records):
    return [r["text"] for r in records]


@pytest.mark.parametrize("candidates, kept", [
    ([candidate("Hello", (0, 0, 100, 20)), candidate("HELLO", (0, 0, 50, 20), True)], ["Hello", "HELLO"]),
    ([candidate("Same", (0, 0, 50, 20)), candidate("Same", (0, 0, 50, 20))], ["Same", "Same"]),  # equal areas
    ([candidate("Edge", (0, 0, 100, 20)), candidate("Edge", (100, 0, 10, 20), True)], ["Edge", "Edge"]),  # touching
    ([candidate("A B", (0, 0, 100, 20)), candidate("A", (0, 0, 10, 20), True), candidate("B", (20, 0, 10, 20), True)],
     ["A", "B"]),
    ([candidate("A A", (0, 0, 100, 20)), candidate("A", (0, 0, 10, 20), True)], ["A A", "A"]),  # one A unaccounted
    ([candidate("Price 10", (0, 0, 100, 60)), candidate("1", (90, 50, 20, 20), True)], ["Price 10", "1"]),
    ([candidate("Zero", (0, 0, 0, 0), True)], ["Zero"]),
])
def test_dedup_rules(candidates, kept):
    assert texts_of(dedup(candidates)) == kept


def test_dedup_returns_the_callers_own_records():
    records = [candidate("A", (0, 0, 10, 20), True), candidate("B", (0, 30, 10, 20))]
    assert all(a is b for a, b in zip(dedup(records), records))


def test_the_same_record_twice_never_dominates_itself():
    record = candidate("Twice", (0, 0, 10, 20))
    assert dedup([record, record]) == [record, record]


def test_dedup_reads_its_keys_without_defaults():
    with pytest.raises(KeyError):
        dedup([{"text": "x", "bounding_box": {"x": 0, "y": 0, "width": 1, "height": 1}}])


def reference_dedup(candidates):
    """The rule, written out in Python."""
    def area(el):
        return el["bounding_box"]["width"] * el["bounding_box"]["height"]

    def overlaps(a, b):
        return (a["x"] < b["x"] + b["width"] and a["x"] + a["width"] > b["x"] and a["y"] < b["y"] + b["height"]
                and a["y"] + a["height"] > b["y"])

    keep = []
    for el in candidates:
        if el["has_direct_text"]:
            keep.append(el)
            continue
        smaller = [o for o in candidates if o is not el and area(o) < area(el)
                   and overlaps(o["bounding_box"], el["bounding_box"]) and o["text"] in el["text"]]
        if not smaller or untaken_text(el["text"], [o["text"] for o in smaller]).strip():
            keep.append(el)
    return keep


def untaken_text(text, parts):
    """What is left of text once each part, in turn, takes the first place showing it that no earlier part took."""
    taken = [False] * len(text)
    for part in filter(None, parts):
        at = text.find(part)
        while at != -1 and any(taken[at:at + len(part)]):
            at = text.find(part, at + 1)
        if at != -1:
            taken[at:at + len(part)] = [True] * len(part)
    return "".join(c for c, gone in zip(text, taken) if not gone)


words = st.lists(st.sampled_from(["Total", "42", "Status:", "é", " ", "\u00a0"]), min_size=1, max_size=3).map("".join)
small = st.integers(0, 4).map(lambda v: v * 10)
boxes = st.tuples(small, small, st.integers(0, 4).map(lambda v: v * 10), st.integers(0, 4).map(lambda v: v * 10))


@given(st.lists(st.builds(candidate, words, boxes, st.booleans()), max_size=7))
def test_dedup_matches_the_rule_for_any_candidates(candidates):
    assert [id(r) for r in dedup(candidates)] == [id(r) for r in reference_dedup(candidates)]


OPTIONS = ["New", "Shipped", "Cancelled", "France", "Japan", "Courier"]


@pytest.mark.parametrize("per_element", [False, True], ids=["one call", "per element"])
def test_form_rows_with_selects_give_way_to_their_labels(page, site, monkeypatch, per_element):  # noqa: F811
    from vantor.engine import settings

    monkeypatch.setattr(settings, "PER_ELEMENT_SCAN", per_element)
    page.goto(site + "admin_form.html")
    _, text_elements = PageScanner(page).extract_interactable_elements()
    texts = [d["text"] for d in text_elements]
    # The options a select does not show are no text of the page.
    assert not [t for t in texts if any(option in t.split("\n") for option in OPTIONS)], texts
    assert {"Customer:", "Status:", "Country:", "Where the parcel goes.", "Save"} <= set(texts)
