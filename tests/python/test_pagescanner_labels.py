"""Field labels on a real page, source by source, with the mended sources:
escaped ids, several aria-labelledby ids, labels that wrap their field, and
sibling and parent texts that skip what is not shown or belongs to another control."""

import pytest

from browser import chromium, page, serve  # noqa: F401
from scanpages import one_with_id, scanned, site  # noqa: F401


@pytest.fixture
def label_of(scanned):  # noqa: F811
    scanner, _, _ = scanned("labels.html")

    def label(element_id):
        handle = scanner.page.query_selector(f"[id='{element_id}']")
        assert handle is not None, element_id
        return scanner._get_field_label(handle)

    return label


@pytest.mark.parametrize("element_id, label", [
    ("by-aria", "Search"),  # trimmed, and ahead of the placeholder
    ("blank-aria", "Email"),  # a blank aria-label does not count
    ("by-labelledby", "Billing name"),
    ("by-two-ids", "Shipping address"),  # several ids: their texts joined with one space
    ("by-react-labelledby", "Company"),
    ("missing-labelledby", "Fallback"),  # a missing id falls through to label[for]
    ("blank-labelledby", "Blank named"),
    ("user", "Username"),  # label[for] beats the placeholder
    (":r1:", "Phone"),
    ("1st", "First choice"),
    ("by-placeholder", "Zip"),
    ("by-title", "Coupon"),
    ("textarea-title", "Comments"),
], ids=lambda v: v if isinstance(v, str) else None)
def test_attribute_and_label_element_sources(label_of, element_id, label):
    assert label_of(element_id) == label


@pytest.mark.parametrize("element_id, label", [
    ('say"hi', "Greeting"), ("back\\slash", "Backslash"), ("a b", "Spaced id")])
def test_ids_that_need_escaping_find_their_label(scanned, element_id, label):  # noqa: F811
    scanner, _, _ = scanned("labels.html")
    handle = next(h for h in scanner.page.query_selector_all("input") if h.get_attribute("id") == element_id)
    assert scanner._get_field_label(handle) == label


@pytest.mark.parametrize("element_id, label", [
    ("sibling-direct", "Nickname"),
    ("sibling-first-child", "City"),
    ("sibling-walks-on", "Far"),
    ("sibling-fifty", ""),  # 50 characters are too long, everywhere
    ("sibling-forty-nine", "x" * 49),
    ("by-parent", "Region"),
])
def test_neighbour_sources(label_of, element_id, label):
    assert label_of(element_id) == label


@pytest.mark.parametrize("element_id, label", [
    ("after-password", ""),  # not the password field's "Password"
    ("after-style", ""),  # never the CSS of an inline style
    ("style-between", "Styled"),
    ("after-hint", "Real"),  # a display:none hint is no label
    ("after-hidden-input", "Token"),  # a hidden input renders nothing
    ("after-template", ""),
    ("after-holder", ""),  # a sibling holding a control ends the walk
])
def test_neighbour_sources_skip_what_is_not_a_label(label_of, element_id, label):
    assert label_of(element_id) == label


@pytest.mark.parametrize("element_id, label", [
    ("wrapped-email", "Email"),
    ("wrapped-phone", "Phone"),
    ("wrapped-country", "Country"),  # without the select's options
    ("wrapped-nested", "Name of pet"),
    ("wrapped-too-long", ""),
])
def test_a_label_that_wraps_its_field(label_of, element_id, label):
    assert label_of(element_id) == label


def test_a_field_with_no_source_has_no_label(label_of):
    assert label_of("nothing") == ""


def test_the_scan_stores_field_labels(scanned):  # noqa: F811
    _, elements, _ = scanned("labels.html")
    assert one_with_id(elements, "wrapped-phone")["attributes"]["_label"] == "Phone"
    assert one_with_id(elements, "wrapped-email")["attributes"]["_label"] == "Email"
    assert one_with_id(elements, ":r1:")["attributes"]["_label"] == "Phone"


def test_custom_inputs_are_labelled_too(scanned):  # noqa: F811
    _, elements, _ = scanned("labels.html")
    notes = [d for d in elements if d["attributes"].get("id") == "custom-notes" and d.get("is_editable_field")]
    assert [d["attributes"]["_label"] for d in notes] == ["Notes"]


TRICKY_IDS = [":r1:", "1st", "-1", "-", "--x", "a b", 'q"q', "a'b", "back\\slash", "tab\there", "new\nline", "é",
              "\U0001f642", "a.b", "a#b", "[x]", "x]", "\x01ctrl", "0", "_", "a,b", "a>b", "a~b", "\u00a0nbsp",
              "trailing\\", "*", "!important"]


def test_every_id_finds_its_label(page):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner

    page.set_content("<body></body>")
    page.evaluate("""ids => ids.forEach((id, i) => {
        const label = document.createElement('label');
        label.htmlFor = id;
        label.textContent = 'Label ' + i;
        const named = document.createElement('span');
        named.id = 'named-' + id;
        named.textContent = 'Named ' + i;
        const field = document.createElement('input');
        field.id = id;
        const other = document.createElement('input');
        other.setAttribute('aria-labelledby', 'named-' + id);
        for (const el of [label, named, field, other]) {
            const holder = document.createElement('div');
            holder.appendChild(el);
            document.body.appendChild(holder);
        }
    })""", TRICKY_IDS)
    scanner = PageScanner(page)
    fields = page.query_selector_all("input[id]")
    assert [scanner._get_field_label(f) for f in fields] == [f"Label {i}" for i in range(len(TRICKY_IDS))]
    # aria-labelledby lists ids separated by whitespace: ids without any are found whatever else they hold
    named = page.query_selector_all("input[aria-labelledby]")
    expected = [f"Named {i}" if not any(c in id_ for c in " \t\n") else "" for i, id_ in enumerate(TRICKY_IDS)]
    assert [scanner._get_field_label(f) for f in named] == expected
