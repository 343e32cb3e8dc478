"""Fixture pages of the page scanner (tests/pages) on a real browser.

Import with ``from scanpages import scan_page, scanned, site`` next to the browser fixtures.
"""

from pathlib import Path

import pytest

PAGES = Path(__file__).resolve().parents[1] / "pages"


@pytest.fixture(scope="session")
def site(serve):
    return serve(PAGES)


@pytest.fixture
def scan_page(page, site):
    """scan_page(name) -> a PageScanner on the fixture page of that name, loaded."""
    from vantor.engine.browser.pagescanner import PageScanner

    def load(name):
        page.goto(site + name)
        return PageScanner(page)

    return load


@pytest.fixture(scope="session")
def scanned(chromium, site):
    """scanned(name) -> (scanner, elements, text_elements) of that fixture page.

    Each page is loaded and scanned once per session, in a page of its own that
    stays open, so tests can ask the browser about it too. Tests must not
    change what they are given.
    """
    from vantor.engine.browser.pagescanner import PageScanner

    context = chromium.new_context(viewport={"width": 1280, "height": 800})
    done = {}

    def scan(name):
        if name not in done:
            page = context.new_page()
            page.goto(site + name)
            scanner = PageScanner(page)
            done[name] = (scanner, *scanner.extract_interactable_elements())
        return done[name]

    yield scan
    context.close()


def with_id(descriptors, element_id):
    """The descriptors of the element with that id (one per source that found it)."""
    return [d for d in descriptors if d["attributes"].get("id") == element_id]


def one_with_id(descriptors, element_id):
    found = with_id(descriptors, element_id)
    assert len(found) == 1, f"{len(found)} descriptors with id {element_id!r}"
    return found[0]
