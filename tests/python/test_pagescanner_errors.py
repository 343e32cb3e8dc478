"""The per-element protocol and its error containment, on a stand-in page.

An error while one element is read drops that element silently; the page
queries, the labelling, the text extraction and the snapshot are not guarded,
so their errors reach the caller unchanged.
"""

import pytest

from fakepage import BOX, CANDIDATE_SELECTOR, FakePage
from vantor.engine import settings
from vantor.engine.browser.pagescanner import (CAPTURED_ATTRIBUTES, INTERACTABLE_SELECTOR, TEXT_SELECTOR,
                                                _CUSTOM_INPUT_SELECTOR, PageScanner)


class Boom(Exception):
    pass


@pytest.fixture(autouse=True)
def no_snapshots(monkeypatch):
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", False)


def native_page():
    """Three native elements: a text field between two buttons."""
    page = FakePage()
    first = page.element("first", tag="button", text="First")
    field = page.element("field", tag="input", attributes={"id": "f1", "type": "text"})
    last = page.element("last", tag="button", text="Last")
    page.lists[INTERACTABLE_SELECTOR] = [first, field, last]
    return page


def native_texts(page):
    elements, _ = PageScanner(page).extract_interactable_elements()
    return [e["text"] or e["attributes"].get("id") for e in elements]


NATIVE_STEPS = [("is_visible", None), ("is_enabled", None), ("evaluate", "tag"), ("inner_text", None),
                ("get_attribute", "value"), ("bounding_box", None), ("evaluate", "data"), ("evaluate", "xpath")] + [
                   ("get_attribute", name) for name in CAPTURED_ATTRIBUTES]


def test_one_native_input_is_read_in_this_order():
    page = native_page()
    PageScanner(page).extract_interactable_elements()
    assert page.calls_of("field") == [
        ("is_visible", None), ("is_enabled", None), ("evaluate", "tag"), ("inner_text", None),
        ("get_attribute", "value"), ("bounding_box", None),
        *[("get_attribute", name) for name in CAPTURED_ATTRIBUTES],
        ("evaluate", "data"), ("evaluate", "xpath"),
        # the field label, source by source
        ("get_attribute", "aria-label"), ("get_attribute", "aria-labelledby"), ("get_attribute", "id"),
        ("get_attribute", "placeholder"), ("get_attribute", "title"),
        ("evaluate", "sibling"), ("evaluate", "parent"), ("evaluate", "wrapping"),
    ]
    assert ("page", "query_selector", 'label[for="f1"]') in page.calls


def test_the_scan_queries_the_sources_in_order():
    page = native_page()
    PageScanner(page).extract_interactable_elements()
    page_calls = [(operation, argument) for who, operation, argument in page.calls if who == "page"]
    assert page_calls == [
        ("query_selector_all", INTERACTABLE_SELECTOR), ("query_selector", 'label[for="f1"]'),
        ("query_selector_all", _CUSTOM_INPUT_SELECTOR), ("evaluate", "cursor"),
        ("query_selector_all", CANDIDATE_SELECTOR), ("query_selector_all", TEXT_SELECTOR),
    ]


@pytest.mark.parametrize("step", NATIVE_STEPS + [("get_attribute", "aria-label"), ("get_attribute", "placeholder")],
                         ids=str)
def test_an_error_in_any_native_step_drops_only_that_element(step):
    page = native_page()
    page.failures[("field", *step)] = Boom("detached")
    assert native_texts(page) == ["First", "Last"]


def test_an_interruption_is_never_swallowed():
    page = native_page()
    page.failures[("field", "bounding_box", None)] = KeyboardInterrupt()
    with pytest.raises(KeyboardInterrupt):
        PageScanner(page).extract_interactable_elements()


@pytest.mark.parametrize("answer", [42, {"x": 1}, b"bytes"])
def test_a_malformed_answer_drops_the_element(answer):
    page = native_page()
    page.elements[1].text = answer
    assert native_texts(page) == ["First", "Last"]


@pytest.mark.parametrize("box", [{"x": 0, "y": 0, "width": 5}, {"x": 0, "y": 0, "width": "5", "height": 5}, [1, 2]])
def test_a_box_that_cannot_be_read_drops_the_element(box):
    page = native_page()
    page.elements[1].box = box
    assert native_texts(page) == ["First", "Last"]


@pytest.mark.parametrize("selector", [INTERACTABLE_SELECTOR, _CUSTOM_INPUT_SELECTOR, CANDIDATE_SELECTOR, TEXT_SELECTOR])
def test_a_failing_page_query_reaches_the_caller(selector):
    page = native_page()
    error = Boom("navigated")
    page.failures[("page", "query_selector_all", selector)] = error
    with pytest.raises(Boom) as raised:
        PageScanner(page).extract_interactable_elements()
    assert raised.value is error


@pytest.mark.parametrize("step", [("query_selector", None), ("evaluate", "sibling"), ("evaluate", "parent")], ids=str)
def test_a_failing_label_look_up_falls_through_to_the_next_source(step):
    page = FakePage()
    field = page.element("field", attributes={"id": "f1", "aria-labelledby": "n1"},
                         scripts={"sibling": "Sibling", "parent": "Parent", "wrapping": "Wrapping"})
    page.singles["#n1"] = page.element("n1", tag="span", text="Named")
    page.singles['label[for="f1"]'] = page.element("for", tag="label", text="For")
    who = "field" if step[0] == "evaluate" else "page"
    page.failures[(who, *step)] = Boom("script error")
    expected = {("query_selector", None): "Sibling", ("evaluate", "sibling"): "Named", ("evaluate", "parent"): "Named"}
    assert PageScanner(page)._get_field_label(field) == expected[step]


def test_failing_label_sources_leave_the_later_ones():
    page = FakePage()
    field = page.element("field", attributes={"id": "f1", "aria-labelledby": "n1"},
                         scripts={"sibling": "Sibling", "parent": "Parent", "wrapping": "Wrapping"})
    page.failures[("page", "query_selector", None)] = Boom("bad selector")
    page.failures[("field", "evaluate", "sibling")] = Boom("detached")
    page.failures[("field", "evaluate", "parent")] = Boom("detached")
    assert PageScanner(page)._get_field_label(field) == "Wrapping"


@pytest.mark.parametrize("name", ["aria-label", "aria-labelledby", "id", "placeholder", "title"])
def test_a_failing_attribute_read_of_the_label_reaches_the_caller(name):
    page = FakePage()
    field = page.element("field")
    error = Boom("detached")
    page.failures[("field", "get_attribute", name)] = error
    with pytest.raises(Boom) as raised:
        PageScanner(page)._get_field_label(field)
    assert raised.value is error


def test_a_failing_cursor_script_gives_no_cursor_elements():
    page = native_page()
    page.cursor_items = [{"text": "Chip", "xpath": "/x[1]", "x": 1, "y": 2, "w": 3, "h": 4}]
    page.failures[("page", "evaluate", "cursor")] = Boom("script error")
    elements, _ = PageScanner(page).extract_interactable_elements()
    assert [e["text"] for e in elements] == ["First", "", "Last"]


def test_a_malformed_cursor_item_reaches_the_caller():
    page = native_page()
    page.cursor_items = [{"xpath": "/x[1]", "x": 1, "y": 2, "w": 3, "h": 4}]
    with pytest.raises(KeyError):
        PageScanner(page).extract_interactable_elements()


@pytest.mark.parametrize("operation", ["is_visible", "inner_text", "bounding_box"])
def test_an_error_reading_one_label_candidate_drops_it(operation):
    page = FakePage()
    first = page.element("first", tag="h2", text="First heading", box={"x": 0, "y": 0, "width": 100, "height": 20})
    second = page.element("second", tag="h2", text="Second heading", box={"x": 0, "y": 30, "width": 100, "height": 20})
    page.lists[CANDIDATE_SELECTOR] = [first, second]
    page.failures[("first", operation, None)] = Boom("detached")
    assert [c["text"] for c in PageScanner(page)._collect_label_candidates()] == ["Second heading"]


@pytest.mark.parametrize("step", [("is_visible", None), ("inner_text", None), ("bounding_box", None),
                                  ("evaluate", "tag"), ("evaluate", "xpath"), ("get_attribute", "href"),
                                  ("evaluate", "data"), ("evaluate", "direct")], ids=str)
def test_an_error_reading_one_text_element_drops_it(step):
    page = FakePage()
    first = page.element("first", tag="p", text="One", box={"x": 0, "y": 0, "width": 100, "height": 20})
    second = page.element("second", tag="p", text="Two", box={"x": 0, "y": 30, "width": 100, "height": 20})
    page.lists[TEXT_SELECTOR] = [first, second]
    page.failures[("first", *step)] = Boom("detached")
    assert [t["text"] for t in PageScanner(page).extract_text_elements()] == ["Two"]


def test_one_text_element_is_read_in_this_order():
    page = FakePage()
    page.lists[TEXT_SELECTOR] = [page.element("p", tag="p", text=" Hello ")]
    [descriptor] = PageScanner(page).extract_text_elements()
    assert page.calls_of("p") == [
        ("is_visible", None), ("inner_text", None), ("bounding_box", None), ("evaluate", "tag"), ("evaluate", "xpath"),
        ("get_attribute", "id"), ("get_attribute", "class"), ("get_attribute", "href"), ("get_attribute", "aria-label"),
        ("evaluate", "data"), ("evaluate", "direct")]
    assert descriptor == {"tag": "p", "text": "Hello", "has_direct_text": True, "attributes": {}, "bounding_box": BOX,
                          "is_visible": True, "is_enabled": True, "xpath": page.elements[0].xpath}


def test_one_custom_input_is_read_in_this_order():
    page = FakePage()
    editor = page.element("editor", tag="div", text=" Hi ", attributes={"class": "editable"})
    page.lists[_CUSTOM_INPUT_SELECTOR] = [editor]
    [descriptor] = PageScanner(page)._extract_custom_inputs()
    assert page.calls_of("editor") == [
        ("evaluate", "tag"), ("get_attribute", "class"), ("bounding_box", None), ("is_visible", None),
        ("evaluate", "xpath"), ("inner_text", None),
        ("get_attribute", "aria-label"), ("get_attribute", "aria-labelledby"), ("get_attribute", "id"),
        ("get_attribute", "placeholder"), ("get_attribute", "title"),
        ("evaluate", "sibling"), ("evaluate", "parent"), ("evaluate", "wrapping"),
        *[("get_attribute", name) for name in CAPTURED_ATTRIBUTES]]
    assert descriptor == {"tag": "div", "text": "Hi", "attributes": {"class": "editable"}, "bounding_box": BOX,
                          "is_visible": True, "is_enabled": True, "is_editable_field": True, "xpath": editor.xpath}


@pytest.mark.parametrize("step", [("evaluate", "tag"), ("get_attribute", "class"), ("bounding_box", None),
                                  ("is_visible", None), ("evaluate", "xpath"), ("inner_text", None),
                                  ("evaluate", "sibling"), ("get_attribute", "aria-label")], ids=str)
def test_an_error_reading_one_custom_input_drops_it(step):
    page = FakePage()
    first = page.element("first", tag="div", text="One", attributes={"class": "editable"}, scripts={"sibling": "x"})
    second = page.element("second", tag="div", text="Two", attributes={"class": "editable"})
    page.lists[_CUSTOM_INPUT_SELECTOR] = [first, second]
    page.failures[("first", *step)] = Boom("detached")
    texts = [d["text"] for d in PageScanner(page)._extract_custom_inputs()]
    # A failing label script only loses that source, not the element.
    assert texts == (["One", "Two"] if step == ("evaluate", "sibling") else ["Two"])


def test_custom_inputs_with_the_same_xpath_are_listed_once():
    page = FakePage()
    first = page.element("first", tag="div", text="First", attributes={"class": "editable"}, xpath="/html[1]/div[1]")
    again = page.element("again", tag="span", text="Again", attributes={"class": "input"}, xpath="/html[1]/div[1]")
    page.lists[_CUSTOM_INPUT_SELECTOR] = [first, again]
    assert [d["text"] for d in PageScanner(page)._extract_custom_inputs()] == ["First"]


def test_a_snapshot_error_fails_the_scan(monkeypatch, tmp_path):
    blocker = tmp_path / "file"
    blocker.write_text("not a directory")
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", True)
    monkeypatch.setattr(settings, "LOG_PATH", str(blocker / "logs"))
    with pytest.raises(OSError):
        PageScanner(native_page()).extract_interactable_elements()


def test_the_box_record_is_the_one_the_page_returned():
    page = native_page()
    elements, _ = PageScanner(page).extract_interactable_elements()
    assert all(e["bounding_box"] is BOX for e in elements)


def test_cursor_items_become_buttons_once_per_xpath():
    page = FakePage()
    page.cursor_items = [
        {"tag": "td", "text": "Edit", "xpath": "/a[1]", "x": 1, "y": 2, "w": 30, "h": 4, "cls": "cell", "aria": ""},
        {"tag": "li", "text": "Again", "xpath": "/a[1]", "x": 1, "y": 2, "w": 3, "h": 4, "cls": "", "aria": "A"},
        {"tag": "li", "text": "No path", "x": 5, "y": 6, "w": 7, "h": 8, "aria": "Named"},
        {"tag": "li", "text": "No path either", "x": 5, "y": 6, "w": 7, "h": 8},
    ]
    assert PageScanner(page)._extract_cursor_pointer_elements() == [
        {"tag": "button", "text": "Edit", "attributes": {"class": "cell"},
         "bounding_box": {"x": 1, "y": 2, "width": 30, "height": 4}, "is_visible": True, "is_enabled": True,
         "xpath": "/a[1]"},
        {"tag": "button", "text": "No path", "attributes": {"aria-label": "Named"},
         "bounding_box": {"x": 5, "y": 6, "width": 7, "height": 8}, "is_visible": True, "is_enabled": True,
         "xpath": ""},
    ]


@pytest.mark.parametrize("answer", [None, [], {}])
def test_no_cursor_answer_reads_as_no_items(answer):
    page = FakePage()
    page.cursor_items = answer
    assert PageScanner(page)._extract_cursor_pointer_elements() == []


def test_a_text_element_with_a_zero_size_box_is_listed_but_one_without_a_box_is_not():
    page = FakePage()
    zero = {"x": 5, "y": 5, "width": 0, "height": 0}
    page.lists[TEXT_SELECTOR] = [page.element("zero", tag="p", text="Zero", box=zero),
                                 page.element("none", tag="p", text="None", box=None),
                                 page.element("blank", tag="p", text=" \n\t ")]
    assert [t["text"] for t in PageScanner(page).extract_text_elements()] == ["Zero"]


def test_only_custom_input_classes_count():
    page = FakePage()
    page.lists[_CUSTOM_INPUT_SELECTOR] = [
        page.element("field", tag="input", attributes={"class": "editable"}),
        page.element("plain", tag="div", attributes={"class": "box"}),
        page.element("none", tag="span"),
        page.element("editor", tag="span", text="Ok", attributes={"class": "Rich-Editable"}),
    ]
    assert [d["text"] for d in PageScanner(page)._extract_custom_inputs()] == ["Ok"]
    assert page.calls_of("field") == [("evaluate", "tag"), ("get_attribute", "class")]


def test_the_visibility_rule_for_hidden_native_elements():
    page = FakePage()
    page.lists[INTERACTABLE_SELECTOR] = [
        page.element("named", tag="button", visible=False, attributes={"aria-label": "Close"}),
        page.element("titled", tag="button", visible=False, attributes={"title": " "}),
        page.element("bare", tag="button", visible=False, text="Hidden"),
    ]
    elements, _ = PageScanner(page).extract_interactable_elements()
    assert [(e["attributes"], e["is_visible"]) for e in elements] == [
        ({"aria-label": "Close"}, False), ({"title": " "}, False)]
    # Both names are read before the rule decides, then the captured attributes.
    assert page.calls_of("named")[6:9] == [("get_attribute", "aria-label"), ("get_attribute", "title"),
                                           ("get_attribute", "id")]
