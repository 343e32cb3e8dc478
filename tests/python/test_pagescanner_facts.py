"""Page facts (role, accessible name, states, value shown, table context) on Chromium.

Each fact is read two ways: the in-page facts script evaluated directly on the
fixture page, and PageScanner.extract_page_facts(), which must add them to the
ordinary scan without another round trip.
"""

import json
from pathlib import Path

import pytest

from browser import chromium, page, serve  # noqa: F401
from scanpages import site  # noqa: F401
from test_pagescanner_single_pass import Counting

ROOT = Path(__file__).resolve().parents[2]
FACT_KEYS = ["role", "name", "name_from", "label", "placeholder", "title", "alt", "testid", "checked", "selected",
             "expanded", "disabled", "readonly", "required", "value", "table", "row", "column", "column_header",
             "row_header"]


def facts_script():
    lines = (ROOT / "src" / "js" / "page_facts.js").read_text(encoding="ascii").split("\n")
    while lines and (lines[0].startswith("//") or not lines[0].strip()):
        lines.pop(0)
    return "\n".join(lines)


@pytest.fixture
def settings(monkeypatch):
    from vantor.engine import settings
    monkeypatch.setattr(settings, "PER_ELEMENT_SCAN", False)
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", False)
    return settings


def direct(page):  # noqa: F811
    """Facts of every element with an id, from the script itself."""
    return page.evaluate("() => { const facts = (" + facts_script() + ")(); const out = {};"
                         " for (const el of document.querySelectorAll('[id]')) out[el.id] = facts(el);"
                         " return JSON.stringify(out); }")


def scanned(page):  # noqa: F811
    """Facts of every scanned element with an id, from extract_page_facts()."""
    from vantor.engine.browser.pagescanner import PageScanner
    elements, text_elements, facts, _unlisted = PageScanner(page).extract_page_facts()
    by_id = {}
    for descriptor in elements + text_elements:
        element_id = descriptor["attributes"].get("id")
        if element_id:
            by_id[element_id] = facts[descriptor["xpath"]]
    return by_id


@pytest.fixture(params=["direct", "scan"])
def facts(request, page, site, settings):  # noqa: F811
    page.goto(site + "facts.html")
    if request.param == "direct":
        return json.loads(direct(page))
    return scanned(page)


@pytest.mark.parametrize("element_id, role, name, name_from, label", [
    # two ids in aria-labelledby, joined in their order
    ("billing-input", "textbox", "Billing name", "labelledby", ""),
    # a label referenced by aria-labelledby names even when hidden
    ("promo", "textbox", "Promo code", "labelledby", ""),
    # a wrapping label around the control: the control's own value stays out
    ("qty", "spinbutton", "Quantity items", "label", "Quantity items"),
    # aria-label beats the label, which is still reported
    ("email", "textbox", "Customer email", "aria-label", "Email address"),
    ("ship", "combobox", "Ship by", "label", "Ship by"),
    ("notes", "textbox", "Notes", "label", "Notes"),
    ("gift", "checkbox", "Gift wrap", "label", "Gift wrap"),
    ("slot-pm", "radio", "Evening", "label", "Evening"),
    ("express-switch", "switch", "Express lane", "content", ""),
    ("search", "searchbox", "Search orders", "placeholder", ""),
    # icon buttons: an inner image's alt, an inner svg's title
    ("search-button", "button", "Search", "content", ""),
    ("delete-button", "button", "Delete order", "content", ""),
    ("close-button", "button", "Close dialog", "aria-label", ""),
    # content leaves out aria-hidden and display:none parts
    ("save-button", "button", "Save draft", "content", ""),
    ("submit-input", "button", "Place order", "content", ""),
    ("nav-orders", "link", "Orders", "content", ""),
    ("page-title", "heading", "Edit order", "content", ""),
    ("total", "cell", "$124.00", "content", ""),
])
def test_role_and_accessible_name(facts, element_id, role, name, name_from, label):
    fact = facts[element_id]
    assert (fact["role"], fact["name"], fact["name_from"], fact["label"]) == (role, name, name_from, label)


@pytest.mark.parametrize("element_id, states", [
    ("gift", {"checked": True, "disabled": False, "required": False}),
    ("newsletter", {"checked": False}),
    ("slot-am", {"checked": True, "disabled": True}),  # inside a disabled fieldset
    ("express-switch", {"checked": True}),
    ("qty", {"required": True, "checked": None, "readonly": False}),
    ("notes", {"readonly": True}),
    ("menu-button", {"expanded": False, "checked": None, "selected": None}),
])
def test_states(facts, element_id, states):
    assert {key: facts[element_id][key] for key in states} == states


@pytest.mark.parametrize("element_id, value", [
    ("ship", "Express (1 day)"),  # the option shown, not its value attribute
    ("notes", "Leave at the door"),  # set by the page's script, not in the markup
    ("qty", "3"),
    ("gift", None),
    ("pay", None),
])
def test_value_shown(facts, element_id, value):
    assert facts[element_id]["value"] == value


@pytest.mark.parametrize("element_id, where", [
    ("select-all", (0, 0, 0, "Select all", None)),
    ("row-knife", (0, 1, 0, "Select all", None)),
    ("edit-board", (0, 2, 3, "Actions", "Cutting Board")),
    ("total", (0, 3, 2, "Price", None)),  # after a cell spanning two columns
    ("pay", (0, 3, 3, "Actions", None)),
    ("stock-plus", (1, 1, 1, "Count", None)),  # a grid made of role=row and role=gridcell
    ("nav-orders", (None, None, None, None, None)),
])
def test_table_context(facts, element_id, where):
    fact = facts[element_id]
    assert (fact["table"], fact["row"], fact["column"], fact["column_header"], fact["row_header"]) == where


def test_records_keep_the_contract_key_order(facts):
    assert all(list(fact) == FACT_KEYS for fact in facts.values())


def test_values_changed_after_load_are_read(page, site, settings):  # noqa: F811
    page.goto(site + "facts.html")
    page.select_option("#ship", "std")
    page.evaluate("() => { document.getElementById('notes').value = 'rows: 2'; }")
    page.check("#newsletter")
    facts = scanned(page)
    assert (facts["ship"]["value"], facts["notes"]["value"], facts["newsletter"]["checked"]) == (
        "Standard", "rows: 2", True)


@pytest.mark.parametrize("name", ["facts.html", "shop.html", "cursor_pointer.html"])
def test_facts_come_with_the_scan_in_one_round_trip(page, site, settings, name):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.goto(site + name)
    plain = PageScanner(page).extract_interactable_elements()
    counting = Counting(page)
    elements, text_elements, facts, unlisted = PageScanner(page).extract_page_facts()
    assert counting.calls == {"evaluate": 1, "query_selector_all": 0, "query_selector": 0}
    assert (elements, text_elements) == plain
    listed = {d["xpath"] for d in elements + text_elements}
    assert not listed & {d["xpath"] for d in unlisted}
    assert set(facts) == listed | {d["xpath"] for d in unlisted}


def test_the_per_element_protocol_adds_one_call_for_the_facts(page, site, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.goto(site + "facts.html")
    single_pass = PageScanner(page).extract_page_facts()
    settings.PER_ELEMENT_SCAN = True
    counting = Counting(page)
    PageScanner(page).extract_interactable_elements()
    scan_calls = dict(counting.calls)
    per_element = PageScanner(page).extract_page_facts()
    assert counting.calls["evaluate"] - scan_calls["evaluate"] == scan_calls["evaluate"] + 1
    assert json.dumps(per_element, ensure_ascii=False) == json.dumps(single_pass, ensure_ascii=False)


def test_a_stand_in_page_that_runs_no_scripts_gets_the_scan_and_no_facts(settings):
    from fakepage import FakePage
    from vantor.engine.browser.pagescanner import INTERACTABLE_SELECTOR, PageScanner

    def stand_in():
        page = FakePage()
        page.lists[INTERACTABLE_SELECTOR] = [page.element("save", tag="button", text="Save")]
        return page

    plain_page, facts_page = stand_in(), stand_in()
    plain = PageScanner(plain_page).extract_interactable_elements()
    elements, text_elements, facts, _unlisted = PageScanner(facts_page).extract_page_facts()
    assert (elements, text_elements, facts) == (*plain, {}) and len(elements) == 1
    assert facts_page.calls == plain_page.calls + [("page", "evaluate", "cursor")]


def test_a_page_that_breaks_the_facts_keeps_its_scan(page, site, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.goto(site + "facts.html")
    page.evaluate("() => { Object.values = () => { throw new Error('replaced by the page'); }; }")
    plain = PageScanner(page).extract_interactable_elements()
    counting = Counting(page)
    elements, text_elements, facts, _unlisted = PageScanner(page).extract_page_facts()
    assert (elements, text_elements, facts) == (*plain, {}) and counting.calls["evaluate"] == 1


def test_elements_named_by_role_that_the_scan_leaves_out_come_unlisted_with_their_facts(page, site, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.goto(site + "facts.html")
    page.evaluate("""() => {
        const slider = document.createElement('div');
        Object.assign(slider, { id: 'volume', tabIndex: 0 });
        slider.setAttribute('role', 'slider');
        slider.setAttribute('aria-label', 'Volume');
        slider.style.cssText = 'width: 120px; height: 12px; background: #ccc';
        const hidden = slider.cloneNode();
        hidden.id = 'hidden-slider';
        hidden.style.display = 'none';
        document.body.append(slider, hidden);
    }""")
    elements, text_elements, facts, unlisted = PageScanner(page).extract_page_facts()
    by_id = {d["attributes"].get("id"): d for d in unlisted}
    assert "volume" in by_id and "hidden-slider" not in by_id
    assert facts[by_id["volume"]["xpath"]]["name"] == "Volume"
    # The header cell holding only the select-all checkbox has no text of its own to be listed by.
    headers = [d for d in unlisted if d["tag"] == "th"]
    assert headers and all(facts[d["xpath"]]["role"] == "columnheader" for d in headers)
    assert all(list(d) == list(text_elements[0]) for d in unlisted)  # the text elements' keys, in order
