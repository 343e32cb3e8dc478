"""Fixture pages of the page scanner (tests/pages) on a real browser.

Import with ``from scanpages import scan_page, site`` next to the browser fixtures.
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


def with_id(descriptors, element_id):
    """The descriptors of the element with that id (one per source that found it)."""
    return [d for d in descriptors if d["attributes"].get("id") == element_id]


def one_with_id(descriptors, element_id):
    found = with_id(descriptors, element_id)
    assert len(found) == 1, f"{len(found)} descriptors with id {element_id!r}"
    return found[0]
