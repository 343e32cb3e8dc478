"""The one-call scan of a genuine Playwright page against the per-element protocol.

Both ways of reading must give the same descriptors: equal values, equal types,
equal key and list order. The one-call scan must cost one browser round trip.
"""

import json
import os
import re
from pathlib import Path

import pytest

from browser import chromium, page, serve  # noqa: F401
from random_pages import random_page
from scanpages import PAGES, site  # noqa: F401

ROOT = Path(__file__).resolve().parents[2]
FIXTURES = sorted(p.name for p in PAGES.glob("*.html"))
# Each random page is scanned element by element too (hundreds of browser
# calls), so the default run takes a small sample; VANTOR_FULL_SWEEP=1 runs the
# full sweep of 240 pages and 40 driver comparisons, and VANTOR_RANDOM_PAGES
# sets the number of random pages outright.
FULL_SWEEP = os.environ.get("VANTOR_FULL_SWEEP") == "1"
RANDOM_PAGES = int(os.environ.get("VANTOR_RANDOM_PAGES", "240" if FULL_SWEEP else "20"))
DRIVER_PAGES = 40 if FULL_SWEEP else 6
BATCH = 10


@pytest.fixture
def settings(monkeypatch):
    from vantor.engine import settings
    monkeypatch.setattr(settings, "PER_ELEMENT_SCAN", False)
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", False)
    return settings


def both_ways(page, settings, read, load=lambda: None):  # noqa: F811
    """read(PageScanner) through the per-element protocol, then in one call,
    each on the page as load() leaves it: reading can change a page (content
    that content-visibility skips is laid out by the reads that reach it)."""
    from vantor.engine.browser.pagescanner import PageScanner
    load()
    settings.PER_ELEMENT_SCAN = True
    per_element = read(PageScanner(page))
    load()
    settings.PER_ELEMENT_SCAN = False
    return per_element, read(PageScanner(page))


def assert_same(per_element, single_pass, where):
    # json.dumps tells key order, list order and int from float apart; == tells True from 1.
    assert json.dumps(single_pass, ensure_ascii=False) == json.dumps(per_element, ensure_ascii=False), where
    assert single_pass == per_element, where


class Counting:
    """Counts the calls of chosen methods of one genuine Page, patched on the instance."""

    def __init__(self, page, names=("evaluate", "query_selector_all", "query_selector")):  # noqa: F811
        self.calls = {name: 0 for name in names}
        for name in names:
            original = getattr(page, name)

            def counted(*args, _name=name, _original=original, **kwargs):
                self.calls[_name] += 1
                return _original(*args, **kwargs)

            setattr(page, name, counted)


@pytest.mark.parametrize("name", FIXTURES)
def test_fixture_pages_read_alike(page, site, settings, name):  # noqa: F811
    def load():
        page.goto(site + name)

    per_element, single_pass = both_ways(page, settings, lambda s: s.extract_interactable_elements(), load)
    assert_same(per_element, single_pass, name)
    per_element, single_pass = both_ways(page, settings, lambda s: s.extract_text_elements(), load)
    assert_same(per_element, single_pass, name)


@pytest.mark.parametrize("first", range(0, RANDOM_PAGES, BATCH))
def test_random_pages_read_alike(page, settings, first):  # noqa: F811
    for seed in range(first, min(first + BATCH, RANDOM_PAGES)):
        content, scroll_y = random_page(seed)

        def load():
            page.set_content(content)
            page.evaluate(f"window.scrollTo(0, {scroll_y})")

        per_element, single_pass = both_ways(page, settings, lambda s: s.extract_interactable_elements(), load)
        assert_same(per_element, single_pass, f"random page {seed}")


def test_a_scan_is_one_round_trip(page, site, settings, tmp_path):  # noqa: F811
    from playwright.sync_api import Page
    from vantor.engine.browser.pagescanner import PageScanner
    page.goto(site + "shop.html")
    counting = Counting(page)
    assert type(page) is Page
    settings.SAVE_SNAPSHOTS, settings.LOG_PATH = True, str(tmp_path)
    elements, text_elements = PageScanner(page).extract_interactable_elements()
    assert counting.calls == {"evaluate": 1, "query_selector_all": 0, "query_selector": 0}
    assert len(elements) > 150 and len(text_elements) > 150
    assert len(list(tmp_path.iterdir())) == 1
    PageScanner(page).extract_text_elements()
    assert counting.calls == {"evaluate": 2, "query_selector_all": 0, "query_selector": 0}


def test_the_setting_forces_the_per_element_protocol(page, site, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.goto(site + "custom_inputs.html")
    counting = Counting(page)
    settings.PER_ELEMENT_SCAN = True
    PageScanner(page).extract_interactable_elements()
    assert counting.calls["query_selector_all"] == 4
    assert counting.calls["evaluate"] == 1  # the pointer-cursor script


def test_settings_without_the_switch_scan_in_one_call(page, site, settings, monkeypatch):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    monkeypatch.delattr(settings, "PER_ELEMENT_SCAN")
    page.goto(site + "labels.html")
    counting = Counting(page)
    PageScanner(page).extract_interactable_elements()
    assert counting.calls == {"evaluate": 1, "query_selector_all": 0, "query_selector": 0}


def test_a_subclass_of_page_is_read_element_by_element(page, site, settings):  # noqa: F811
    from playwright.sync_api import Page
    from vantor.engine.browser.pagescanner import PageScanner

    class OwnPage(Page):
        pass

    page.goto(site + "native.html")
    own = OwnPage(page._impl_obj)
    counting = Counting(own)
    elements = PageScanner(own).extract_interactable_elements()
    assert counting.calls["query_selector_all"] == 4
    assert_same(elements, PageScanner(page).extract_interactable_elements(), "subclass")


def test_a_page_with_a_shadow_root_is_read_element_by_element(page, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.set_content("<button>Out</button><div id='host'></div><p>After</p>")
    page.evaluate("""() => {
        const root = document.getElementById('host').attachShadow({mode: 'open'});
        root.innerHTML = '<button>In</button><input aria-label="Inside">';
    }""")
    counting = Counting(page)
    elements, _ = PageScanner(page).extract_interactable_elements()
    assert [e["text"] for e in elements][:2] == ["Out", "In"]
    assert counting.calls["evaluate"] == 2 and counting.calls["query_selector_all"] == 4
    per_element, single_pass = both_ways(page, settings, lambda s: s.extract_interactable_elements())
    assert_same(per_element, single_pass, "shadow root")


def test_boxes_finer_than_a_layout_unit_come_from_the_driver(page, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.set_content("<button style='transform: rotate(13deg)'>Turned</button><button>Plain</button>")
    counting = Counting(page)
    elements, _ = PageScanner(page).extract_interactable_elements()
    # The turned button is a control and a text: each of those queries is run
    # once more to find the live element, whose box alone is asked for.
    assert counting.calls == {"evaluate": 1, "query_selector_all": 2, "query_selector": 0}
    turned = elements[0]["bounding_box"]
    assert turned == page.query_selector("button").bounding_box()
    assert not float(turned["width"] * 64).is_integer()
    per_element, single_pass = both_ways(page, settings, lambda s: s.extract_interactable_elements())
    assert_same(per_element, single_pass, "transforms")


def test_content_that_content_visibility_skips_is_read_element_by_element(page, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.set_content("<button>Shown</button><li data-testid='cv' style='content-visibility: hidden; padding: 1px'>"
                     "<table><tr><th>Header</th><td>Cell</td></tr></table></li>")
    counting = Counting(page)
    elements, _ = PageScanner(page).extract_interactable_elements()
    assert counting.calls["evaluate"] == 2 and counting.calls["query_selector_all"] == 4
    assert [e["bounding_box"]["height"] for e in elements if e["tag"] == "li"] == [2]


def test_boxes_are_new_records_for_each_descriptor(page, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner
    page.set_content("<button>Both a control and a text</button>")
    elements, text_elements = PageScanner(page).extract_interactable_elements()
    assert elements[0]["bounding_box"] == text_elements[0]["bounding_box"]
    assert elements[0]["bounding_box"] is not text_elements[0]["bounding_box"]


def page_function(name):
    """The source of one of the one-call scan's in-page functions, as the page receives it."""
    text = (ROOT / "src" / "js" / "single_pass" / name).read_text(encoding="ascii")
    return re.sub(r"\A(?://[^\n]*\n|\s*\n)*", "", text)


@pytest.mark.parametrize("seed", range(1000, 1000 + DRIVER_PAGES))
def test_element_answers_match_the_driver(page, seed):  # noqa: F811
    """Element by element, the in-page answers equal the driver's own. Pages
    with content that content-visibility skips are read element by element,
    so elements in or holding such content are passed over here."""
    content, scroll_y = random_page(seed)
    page.set_content(content)
    page.evaluate(f"window.scrollTo(0, {scroll_y})")
    answers = page.evaluate(f"""() => {{
        const state = ({page_function('element_state.js')})();
        const box = ({page_function("element_box.js")})();
        const skipped = (el) => !!el && (getComputedStyle(el).contentVisibility !== 'visible' ||
            skipped(el.parentElement) || Array.from(el.children).some((c) => skipped_below(c)));
        const skipped_below = (el) => getComputedStyle(el).contentVisibility !== 'visible' ||
            Array.from(el.children).some(skipped_below);
        return Array.from(document.body.querySelectorAll('*'), (el) => skipped(el) ? null :
            [state.isVisible(el), state.isEnabled(el), box(el)]);
    }}""")
    handles = page.query_selector_all("body *")
    assert len(handles) == len(answers)
    for handle, answer in zip(handles, answers):
        if answer is None:
            continue
        visible, enabled, box = answer
        where = handle.evaluate("el => el.outerHTML.slice(0, 120)")
        assert handle.is_visible() is visible, where
        assert handle.is_enabled() is enabled, where
        if box != "live":
            driver = handle.bounding_box()
            assert (None if driver is None else [driver[k] for k in ("x", "y", "width", "height")]) == box, where


SELF_PARENT_PAGE = """<main><button id="ok">Save</button><div style="cursor:pointer">Open</div>
<button id="odd">Looping</button><span id="odd-text">Looping text</span></main>
<script>
  for (const id of ["odd", "odd-text"]) {
    const el = document.getElementById(id);
    Object.defineProperty(el, "parentNode", { get() { return el; } });
  }
</script>"""


def test_an_element_whose_parent_is_itself_has_no_xpath_and_the_scan_ends(page, settings):  # noqa: F811
    def load():
        page.set_content(SELF_PARENT_PAGE)

    per_element, single_pass = both_ways(page, settings, lambda s: s.extract_interactable_elements(), load)
    assert_same(per_element, single_pass, "self-parent page")
    elements, texts = single_pass
    assert [e["text"] for e in elements] == ["Save", "Open"]
    assert "Looping text" not in [t["text"] for t in texts] and "Save" in [t["text"] for t in texts]


def test_a_page_whose_every_parent_is_itself_still_scans(page, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner

    page.set_content("<button>Save</button><p>Text</p>"
                     "<script>Object.defineProperty(Node.prototype, 'parentNode', {get() { return this; }});</script>")
    for per_element in (True, False):
        settings.PER_ELEMENT_SCAN = per_element
        assert PageScanner(page).extract_interactable_elements() == ([], [])


# Old libraries and hostile pages patch the built-ins the one-call scan uses.
PATCHES = {
    "Array toJSON": "Array.prototype.toJSON = function () { return 'array'; };",
    "Object toJSON": "Object.prototype.toJSON = function () { return {}; };",
    "JSON.stringify replaced": "JSON.stringify = () => '{}';",
    "JSON.stringify throws": "JSON.stringify = () => { throw new Error('no JSON here'); };",
    "Math.round NaN": "Math.round = () => NaN;",
    "boxes NaN": "Element.prototype.getClientRects = function () { return [{x: NaN, y: NaN, width: NaN, height: NaN}]; };",
    "closest throws": "Element.prototype.closest = function () { throw new Error('closest'); };",
    "getComputedStyle throws": "window.getComputedStyle = () => { throw new Error('style'); };",
    "innerText throws": "Object.defineProperty(HTMLElement.prototype, 'innerText', {get() { throw new Error('text'); }});",
    "querySelectorAll overridden": "Document.prototype.querySelectorAll = function () { return []; };",
    "NodeList iterator": "NodeList.prototype[Symbol.iterator] = function* () {};",
}
PATCHED_PAGE = """<form><label for="q">Search</label><input id="q" placeholder="Find a product">
<button type="submit">Go</button></form><ul><li><span style="cursor:pointer">Open cart</span></li></ul>
<p>Free delivery over 50 &euro;</p><script>{patch}</script>"""


@pytest.mark.parametrize("patch", PATCHES.values(), ids=PATCHES.keys())
def test_pages_that_patch_built_ins_read_as_element_by_element(page, settings, patch):  # noqa: F811
    def load():
        page.set_content(PATCHED_PAGE.format(patch=patch))

    for read in (lambda s: s.extract_interactable_elements(), lambda s: s.extract_text_elements()):
        per_element, single_pass = both_ways(page, settings, read, load)
        assert_same(per_element, single_pass, patch)


def tall_page(rows):
    """A long list: a button and a paragraph per row, of varied sizes, far past 65,536 px."""
    return "<body style='margin:0'>" + "".join(
        f"<button style='display:block;height:{137.3 + (i % 7) * 13.37}px;margin-left:{(i % 9) * 1.3}px'>Item {i}"
        f"</button><p style='margin:{(i % 3) * 0.7}px;height:{(i % 4) * 150.15}px'>About item {i}</p>"
        for i in range(rows)) + "</body>"


def test_a_tall_page_is_read_in_one_call_as_element_by_element(page, settings):  # noqa: F811
    from vantor.engine.browser.pagescanner import PageScanner

    def load():
        page.set_content(tall_page(220))
        page.evaluate("window.scrollTo(0, 2000)")

    per_element, single_pass = both_ways(page, settings, lambda s: s.extract_interactable_elements(), load)
    assert_same(per_element, single_pass, "tall page")
    assert max(e["bounding_box"]["y"] for e in single_pass[0]) > 65536
    counting = Counting(page)
    PageScanner(page).extract_interactable_elements()
    assert counting.calls == {"evaluate": 1, "query_selector_all": 0, "query_selector": 0}  # no box asked live
