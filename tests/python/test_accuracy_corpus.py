"""The accuracy corpus is sound: every step is a valid step, and every intended element exists exactly once.

One Chromium page load per fixture page; the counts of all of a page's selectors are read in one call
once the page's script has finished rendering.
"""

import sys
from pathlib import Path

import pytest

from browser import chromium, serve  # noqa: F401  (fixtures)

CORPUS_DIR = Path(__file__).resolve().parents[2] / "bench" / "accuracy"
sys.path.insert(0, str(CORPUS_DIR))

from corpus import load_cases, parse_cases  # noqa: E402

CASES = load_cases()
MIN_CASES = 150
RENDER_TIMEOUT_MS = 5000

# Script-rendered pages mark their app root aria-busy while they build it; the rest is there on load.
RENDERED = """selectors => document.querySelector('[aria-busy="true"]') === null
    && selectors.every(selector => document.querySelector(selector) !== null)"""
COUNTS = "selectors => selectors.map(selector => document.querySelectorAll(selector).length)"


def case_id(case):
    return f"{case.page.removesuffix('.html')}:{case.line}"


@pytest.fixture(scope="module")
def match_counts(chromium, serve):  # noqa: F811
    """match_counts(page) -> {selector: number of elements it matches on the rendered page}."""
    from playwright.sync_api import TimeoutError as PlaywrightTimeout

    base = serve(CORPUS_DIR)
    context = chromium.new_context(viewport={"width": 1280, "height": 800})
    counted = {}

    def counts(page_file):
        if page_file not in counted:
            selectors = sorted({case.selector for case in CASES if case.page == page_file})
            page = context.new_page()
            page.goto(base + page_file)
            try:
                page.wait_for_function(RENDERED, arg=selectors, timeout=RENDER_TIMEOUT_MS)
            except PlaywrightTimeout:
                pass  # a selector that never matches is reported by its case below
            counted[page_file] = dict(zip(selectors, page.evaluate(COUNTS, selectors)))
            page.close()
        return counted[page_file]

    yield counts
    context.close()


@pytest.mark.parametrize("case", CASES, ids=case_id)
def test_intended_element_is_unique(case, match_counts):
    assert match_counts(case.page)[case.selector] == 1, f"{case.selector!r} must match exactly one element"


@pytest.mark.parametrize("case", CASES, ids=case_id)
def test_step_is_valid(case, reader):
    assert reader.validate(case.step) == []
    reader.parse(case.step)  # raises for a step no rule reads


def test_every_page_has_cases():
    pages = {path.name for path in CORPUS_DIR.glob("*.html")}
    assert pages == {case.page for case in CASES}
    assert len(CASES) >= MIN_CASES


@pytest.mark.parametrize("line", ["click Go", "click Go =>", "=> button", "click Go -> button"])
def test_a_line_that_is_no_case_is_an_error(line):
    with pytest.raises(ValueError, match=r"x\.cases:2: expected"):
        parse_cases(f"# comment\n{line}\n", "x.html", "x.cases")
