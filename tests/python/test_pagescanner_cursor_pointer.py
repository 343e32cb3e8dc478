"""Pointer-cursor elements on a real page: small div, span, li and td elements that look clickable."""

import pytest

from browser import chromium, page, serve  # noqa: F401
from scanpages import scanned, site  # noqa: F401


@pytest.fixture
def pointer(scanned):  # noqa: F811
    scanner, _, _ = scanned("cursor_pointer.html")
    items = scanner._extract_cursor_pointer_elements()
    return scanner, items


def by_text(items):
    return {d["text"]: d for d in items}


def test_descriptor_keys_and_values(pointer):
    _, items = pointer
    cell = by_text(items)["Edit"]
    assert list(cell) == ["tag", "text", "attributes", "bounding_box", "is_visible", "is_enabled", "xpath"]
    assert cell["tag"] == "button"  # a td still reads as a button
    assert cell["attributes"] == {"class": "pointer cell"}
    assert cell["xpath"] == "/html[1]/body[1]/table[1]/tbody[1]/tr[1]/td[1]"
    assert cell["is_visible"] is cell["is_enabled"] is True


def test_list_items_keep_their_aria_label(pointer):
    _, items = pointer
    assert by_text(items)["One"]["attributes"] == {"class": "pointer", "aria-label": "First item"}
    assert by_text(items)["Two"]["attributes"] == {"class": "pointer"}


def test_sixty_characters_count_and_sixty_one_do_not(pointer):
    _, items = pointer
    lengths = sorted(len(d["text"]) for d in items if d["text"].startswith("Sixty"))
    assert lengths == [60]


def test_ten_descendants_count_and_eleven_do_not(pointer):
    _, items = pointer
    assert [d["text"] for d in items if d["text"].startswith("0")] == ["0123456789"]


def test_boxes_are_rounded_integers(pointer):
    scanner, items = pointer
    chip = by_text(items)["Chip"]
    exact = scanner.page.query_selector("#chip").bounding_box()
    assert chip["bounding_box"] == {"x": round(exact["x"]), "y": round(exact["y"]), "width": 80, "height": 21}
    assert all(type(v) is int for d in items for v in d["bounding_box"].values())


def test_only_shown_pointer_elements_with_text_count(pointer):
    _, items = pointer
    texts = [d["text"] for d in items]
    assert texts == ["Edit", "One", "Two", "Sixty characters exactly, counted one by one: abcdefghijklmn", "0123456789",
                     "Chip", "Inherited", "Inherited"]
    # The span inherits the pointer cursor from its div: two elements, two XPaths.
    assert len({d["xpath"] for d in items}) == len(items)


def test_pointer_elements_come_last(scanned):  # noqa: F811
    _, elements, _ = scanned("cursor_pointer.html")
    pointer_part = [d["text"] for d in elements[-8:]]
    assert pointer_part[0] == "Edit" and pointer_part[-1] == "Inherited"
