"""Custom inputs on a real page: span and div elements whose classes mark them editable."""

import pytest

from browser import chromium, page, serve  # noqa: F401
from scanpages import one_with_id, scanned, site, with_id  # noqa: F401


@pytest.fixture
def custom(scanned):  # noqa: F811
    scanner, _, _ = scanned("custom_inputs.html")
    return scanner, scanner._extract_custom_inputs()


def test_descriptor_keys_and_values(custom):
    _, inputs = custom
    bio = one_with_id(inputs, "bio")
    assert list(bio) == ["tag", "text", "attributes", "bounding_box", "is_visible", "is_enabled", "is_editable_field",
                         "xpath"]
    assert bio["tag"] == "div" and bio["text"] == "Hello there"
    assert bio["attributes"] == {"id": "bio", "class": "box rich-editable", "_label": "Biography"}
    assert bio["is_visible"] is bio["is_enabled"] is bio["is_editable_field"] is True
    assert bio["xpath"] == "/html[1]/body[1]/div[1]"


def test_spans_count_too(custom):
    _, inputs = custom
    assert one_with_id(inputs, "typed")["tag"] == "span"


def test_found_ones_in_document_order(custom):
    _, inputs = custom
    assert [d["attributes"]["id"] for d in inputs] == ["bio", "typed", "wrapper", "empty-editable", "both-sources"]


def test_an_empty_editor_has_empty_text_and_its_aria_label(custom):
    _, inputs = custom
    empty = one_with_id(inputs, "empty-editable")
    assert empty["text"] == "" and empty["attributes"]["_label"] == "Empty editor"


@pytest.mark.parametrize("element_id", ["not-displayed", "invisible", "zero-size", "paragraph", "inside"])
def test_hidden_empty_or_other_elements_are_not_custom_inputs(custom, element_id):
    _, inputs = custom
    assert with_id(inputs, element_id) == []


def test_custom_inputs_follow_the_native_elements(scanned):  # noqa: F811
    _, elements, _ = scanned("custom_inputs.html")
    assert [d.get("is_editable_field", False) for d in with_id(elements, "both-sources")] == [False, True]
    editable = [d["attributes"]["id"] for d in elements if d.get("is_editable_field")]
    assert editable == ["bio", "typed", "wrapper", "empty-editable", "both-sources"]
    first_custom = next(i for i, d in enumerate(elements) if d.get("is_editable_field"))
    assert all(d.get("is_editable_field") for d in elements[first_custom:first_custom + len(editable)])
