"""Native elements on a real page: everything the interactable selector matches."""

import pytest

from browser import chromium, page, serve  # noqa: F401
from scanpages import one_with_id, scanned, site, with_id  # noqa: F401

from vantor.engine.browser.pagescanner import INTERACTABLE_SELECTOR


@pytest.fixture
def native(scanned):  # noqa: F811
    scanner, elements, _ = scanned("native.html")
    return scanner, elements


def test_descriptor_keys_and_their_order(native):
    _, elements = native
    save = one_with_id(elements, "save")
    assert list(save) == ["tag", "text", "attributes", "bounding_box", "is_visible", "is_enabled", "xpath"]
    assert save["tag"] == "button" and save["text"] == "Save"
    assert save["attributes"] == {"id": "save", "type": "button"}
    assert save["is_visible"] is True and save["is_enabled"] is True
    assert save["xpath"] == "/html[1]/body[1]/form[1]/button[1]"
    assert set(save["bounding_box"]) == {"x", "y", "width", "height"}


def test_the_box_is_the_one_the_page_reports(native):
    scanner, elements = native
    box = scanner.page.query_selector("#save").bounding_box()
    assert one_with_id(elements, "save")["bounding_box"] == box


@pytest.mark.parametrize("element_id, text", [("value-only", "Send"), ("go", "Go"), ("bare", ""), ("cart-link", "Cart")])
def test_text_falls_back_to_the_value_attribute(native, element_id, text):
    _, elements = native
    assert one_with_id(elements, element_id)["text"] == text


def test_every_tag_and_role_is_found(native):
    _, elements = native
    tags = {e["tag"] for e in elements}
    assert {"button", "input", "a", "select", "textarea", "img", "div"} <= tags
    roles = [e["attributes"]["role"] for e in elements if "role" in e["attributes"]]
    assert roles == ["button", "link", "textbox", "checkbox", "menuitem", "menuitemcheckbox", "menuitemradio",
                     "option", "combobox", "searchbox", "spinbutton", "switch", "tab"]


def test_images_count_with_alt_or_test_id_only(native):
    _, elements = native
    assert one_with_id(elements, "logo")["attributes"]["alt"] == "Logo"
    assert one_with_id(elements, "avatar")["attributes"]["data-testid"] == "avatar"
    assert with_id(elements, "no-alt") == []


def test_disabled_elements_are_listed_as_disabled(native):
    _, elements = native
    assert one_with_id(elements, "disabled")["is_enabled"] is False


@pytest.mark.parametrize("element_id", ["zero-width", "zero-height", "not-displayed"])
def test_elements_without_area_are_left_out(native, element_id):
    _, elements = native
    assert with_id(elements, element_id) == []


def test_hidden_elements_stay_only_when_they_name_themselves(native):
    _, elements = native
    assert one_with_id(elements, "hidden-aria")["is_visible"] is False
    assert one_with_id(elements, "hidden-title")["attributes"]["title"] == " "  # a single space counts
    assert with_id(elements, "hidden-bare") == []


def test_empty_attributes_are_kept_and_absent_ones_have_no_key(native):
    _, elements = native
    assert one_with_id(elements, "empty-attributes")["attributes"] == {
        "id": "empty-attributes", "type": "text", "placeholder": "", "title": "", "class": ""}


def test_data_attributes_merge_after_the_captured_ones(native):
    _, elements = native
    attributes = one_with_id(elements, "merged")["attributes"]
    assert list(attributes.items()) == [("id", "merged"), ("type", "button"), ("class", "c"),
                                        ("data-testid", "merge-me"), ("data-z", "1"), ("data-a", "2")]
    card = dict(one_with_id(elements, "card")["attributes"])
    card.pop("_label", None)  # a spatial label, from the text above
    assert card == {"id": "card", "data-testid": "card", "data-kind": "promo"}


def test_a_select_gets_no_field_label(native):
    _, elements = native
    # The link "Cart" just before it would be its sibling text; nothing lies above it.
    assert "_label" not in one_with_id(elements, "colour")["attributes"]


def test_an_element_found_by_two_sources_is_listed_twice(native):
    _, elements = native
    both = with_id(elements, "both-sources")
    assert [d.get("is_editable_field", False) for d in both] == [False, True]


def test_native_elements_come_first_in_query_order(native):
    scanner, elements = native
    query_order = [h.get_attribute("id") for h in scanner.page.query_selector_all(INTERACTABLE_SELECTOR)]
    native_ids = [e["attributes"].get("id") for e in elements if "is_editable_field" not in e]
    kept = [i for i in query_order if i in native_ids]
    assert native_ids[:len(kept)] == kept
    assert elements[-1].get("is_editable_field") is True
