"""Page scan cost on a real browser: extract_interactable_elements() on the
realistic shop page and on generated pages of 100, 500 and 2,000 elements.

For each page it prints the median scan time, the number of calls the scan
made into the browser, and both against the yardstick: one bare
page.evaluate("() => document.querySelectorAll('*').length") round trip,
measured on the same page in the same run.
"""

import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "python"))

from browser import chromium_path  # noqa: E402

from vantor.engine import settings  # noqa: E402
from vantor.engine.browser.pagescanner import PageScanner  # noqa: E402

ROUND_TRIP = "() => document.querySelectorAll('*').length"


def generated_page(count):
    """A form-and-list page of about `count` elements, in blocks of ten."""
    blocks = []
    for i in range(max(1, (count - 6) // 10)):
        blocks.append(
            f'<section><h3>Section {i}</h3><label for="f{i}">Field {i}</label><input id="f{i}" name="f{i}">'
            f'<button type="button">Save {i}</button><a href="#{i}">Link {i}</a>'
            f'<ul><li style="cursor: pointer">Item {i}</li></ul><p>Note <span>{i}</span></p></section>')
    return f"<!doctype html><html><head><title>{count}</title></head><body>{''.join(blocks)}</body></html>"


class Counted:
    """Forwards every call to the wrapped handle and counts it."""

    def __init__(self, target, counter):
        self._target, self._counter = target, counter

    @property
    def url(self):
        self._counter[0] += 1
        return self._target.url

    def __getattr__(self, name):
        method = getattr(self._target, name)

        def call(*args):
            self._counter[0] += 1
            answer = method(*args)
            if name == "query_selector_all":
                return [Counted(h, self._counter) for h in answer]
            if name == "query_selector" and answer is not None:
                return Counted(answer, self._counter)
            return answer

        return call


def measure(page, rounds):
    """Elements on the page, median scan seconds, browser calls per scan,
    median round-trip seconds, and what the scan found."""
    element_count = page.evaluate(ROUND_TRIP)
    trips = []
    for _ in range(50):
        start = time.perf_counter()
        page.evaluate(ROUND_TRIP)
        trips.append(time.perf_counter() - start)
    scans, counter = [], [0]
    for _ in range(rounds):
        # Counting costs a Python call per browser call: nothing next to the call itself.
        counter[0] = 0
        start = time.perf_counter()
        elements, text_elements = PageScanner(Counted(page, counter)).extract_interactable_elements()
        scans.append(time.perf_counter() - start)
    return (element_count, statistics.median(scans), counter[0], statistics.median(trips), len(elements),
            len(text_elements))


def main(rounds=3):
    """`rounds` scans per page; the largest page is scanned once."""
    executable = chromium_path()
    if executable is None:
        print("page scanner: skipped, no Chromium here (scripts/bootstrap --tests installs Debian's chromium)")
        return
    from playwright.sync_api import sync_playwright

    settings.SAVE_SNAPSHOTS = False
    pages = [("shop.html", (ROOT / "tests" / "pages" / "shop.html").as_uri())] + [
        (f"generated {n}", n) for n in (100, 500, 2000)]
    print(f"page scanner: extract_interactable_elements(), median of {rounds} scans per page "
          f"(one of the 2,000-element page)")
    print(f"  {'page':<15} {'elements':>8} {'found':>9} {'scan':>9} {'calls':>7} {'per call':>9} {'round trip':>11}"
          f" {'scan / round trip':>18}")
    with sync_playwright() as playwright:
        browser = playwright.chromium.launch(executable_path=executable, headless=True, args=["--no-sandbox"])
        page = browser.new_page(viewport={"width": 1280, "height": 800})
        for name, source in pages:
            if isinstance(source, str):
                page.goto(source)
            else:
                page.set_content(generated_page(source))
            count, scan, calls, round_trip, found, texts = measure(page, 1 if source == 2000 else rounds)
            print(f"  {name:<15} {count:>8} {found:>4}+{texts:<4} {scan * 1000:>7.0f}ms {calls:>7}"
                  f" {scan / calls * 1000:>7.2f}ms {round_trip * 1000:>9.3f}ms {scan / round_trip:>17.0f}x")
        browser.close()


if __name__ == "__main__":
    main()
