"""A realistic shop page of a few hundred elements: forms, tables, menus, a product grid."""

import json

import pytest

from browser import chromium, page, serve  # noqa: F401
from scanpages import scanned, site  # noqa: F401


@pytest.fixture
def shop(scanned):  # noqa: F811
    return scanned("shop.html")


def by_name(elements):
    return {e["attributes"]["name"]: e for e in elements if "name" in e["attributes"]}


@pytest.mark.parametrize("name, label", [
    ("q", "Search the shop"), ("email", "Email"), ("phone", "Phone"), ("first-name", "First name"),
    ("street", "Street"), ("city", "City"), ("postcode", "Postcode"), ("gift", "This is a gift"),
    ("news", "Send me news and offers"), ("card-number", "Card number"), ("cvc", "CVC"),
    ("comments", "Anything else?"),
])
def test_checkout_fields_are_labelled_as_a_user_reads_them(shop, name, label):
    _, elements, _ = shop
    assert by_name(elements)[name]["attributes"]["_label"] == label


def test_every_source_contributes(shop):
    _, elements, _ = shop
    assert len(elements) > 150
    assert sum(1 for e in elements if e.get("is_editable_field")) == 1
    pointer = [e["text"] for e in elements if e["tag"] == "button" and e["attributes"].get("class") in ("chip", "tab")]
    assert pointer == ["In stock", "Free delivery", "Eco", "Gift ideas", "Popular", "New", "Sale"]
    assert [e["text"] for e in elements if e["attributes"].get("data-testid") == "add-3"] == ["Add to cart"]
    assert [e["text"] for e in elements if e["attributes"].get("type") == "reset"] == ["Clear form"]


def test_every_descriptor_has_an_area_and_an_xpath(shop):
    _, elements, text_elements = shop
    for descriptor in elements:
        box = descriptor["bounding_box"]
        assert box["width"] >= 0 and box["height"] >= 0
        assert descriptor["xpath"].startswith("/html[1]/body[1]/")


def test_text_elements_hold_the_products_and_prices(shop):
    _, _, text_elements = shop
    texts = [t["text"] for t in text_elements]
    assert "Crème brûlée mug" in texts and "£248.40" in texts
    assert texts.count("Add to cart") == 24
    assert "Showing 24 of 312 products" in texts  # the paragraph's own words are only in it


def test_the_scan_is_plain_json_data(shop):
    _, elements, text_elements = shop
    assert json.loads(json.dumps([elements, text_elements])) == [elements, text_elements]
