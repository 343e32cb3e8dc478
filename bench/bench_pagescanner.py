"""Page scan cost on a real browser: extract_interactable_elements() on the
realistic shop page, on generated pages of 100, 500 and 2,000 elements, on
tall pages (1,000 and 4,000 rows, past 65,536 px) and on form rows inside a
scaled container.

For each page it prints, measured side by side in one run: the scan through
the per-element protocol (a stand-in page forwarding to the real one, so the
scanner reads it call by call; its calls are counted), the one-call scan of
the genuine page, and the yardstick: one bare page.evaluate that walks the
whole DOM calling getBoundingClientRect() on every element. Then the one-call
scan with the page facts (extract_page_facts()) against the scan without them.
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
BARE_WALK = """() => {
  let laid_out = 0;
  for (const el of document.querySelectorAll('*')) {
    const rect = el.getBoundingClientRect();
    if (rect.width > 0 && rect.height > 0) laid_out += 1;
  }
  return laid_out;
}"""


def generated_page(count):
    """A form-and-list page of about `count` elements, in blocks of ten."""
    blocks = []
    for i in range(max(1, (count - 6) // 10)):
        blocks.append(
            f'<section><h3>Section {i}</h3><label for="f{i}">Field {i}</label><input id="f{i}" name="f{i}">'
            f'<button type="button">Save {i}</button><a href="#{i}">Link {i}</a>'
            f'<ul><li style="cursor: pointer">Item {i}</li></ul><p>Note <span>{i}</span></p></section>')
    return f"<!doctype html><html><head><title>{count}</title></head><body>{''.join(blocks)}</body></html>"


def generated_table(rows):
    """A data table of `rows` rows under a header row: a checkbox, a name, a price and an edit link each."""
    body = "".join(f'<tr><td><input type="checkbox" aria-label="Select row {i}"></td><td>Product {i}</td>'
                   f'<td>${i}.00</td><td><a href="#edit-{i}">Edit</a></td></tr>' for i in range(rows))
    return ("<!doctype html><html><body><table><thead><tr><th></th><th>Product</th><th>Price</th><th>Actions</th>"
            f"</tr></thead><tbody>{body}</tbody></table></body></html>")


def tall_page(rows):
    """A long list, a button and a paragraph a row, far past 65,536 px tall."""
    return "<!doctype html><html><body style='margin:0'>" + "".join(
        f"<button style='display:block;height:{37.3 + (i % 7) * 13.37}px'>Item {i}</button>"
        f"<p style='height:{(i % 4) * 50.15}px'>About item {i}</p>" for i in range(rows)) + "</body></html>"


def scaled_form(rows=60):
    """Form rows inside a container scaled and moved as widget libraries do with their fields and dialogs."""
    fields = "".join(f'<div><label for="s{i}">Field {i}</label><input id="s{i}"></div>' for i in range(rows))
    return ("<!doctype html><html><body><div style='transform: scale(0.913) translate(3.3px, 7.1px); "
            f"transform-origin: 0 0'>{fields}</div></body></html>")


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


def median_seconds(action, rounds):
    times = []
    for _ in range(rounds):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def measure(page, per_element_rounds, rounds=15):
    """Elements on the page; per-element scan seconds and browser calls;
    one-call scan seconds; bare-walk seconds; what the scan found."""
    element_count = page.evaluate(ROUND_TRIP)
    counter = [0]

    def per_element():
        counter[0] = 0
        PageScanner(Counted(page, counter)).extract_interactable_elements()

    per_element_scan = median_seconds(per_element, per_element_rounds)
    found = PageScanner(page).extract_interactable_elements()
    single_pass = median_seconds(lambda: PageScanner(page).extract_interactable_elements(), rounds)
    bare_walk = median_seconds(lambda: page.evaluate(BARE_WALK), rounds)
    return element_count, per_element_scan, counter[0], single_pass, bare_walk, len(found[0]), len(found[1])


def facts_cost(page, rounds=15):
    """Median seconds of the one-call scan without and with the page facts,
    measured alternately so both see the same machine load."""
    plain, with_facts = [], []
    for _ in range(rounds):
        plain.append(median_seconds(lambda: PageScanner(page).extract_interactable_elements(), 1))
        with_facts.append(median_seconds(lambda: PageScanner(page).extract_page_facts(), 1))
    return statistics.median(plain), statistics.median(with_facts)


def main(rounds=3):
    """`rounds` scans per page; the largest page is scanned once."""
    executable = chromium_path()
    if executable is None:
        print("page scanner: skipped, no Chromium here (scripts/bootstrap --tests installs Debian's chromium)")
        return
    from playwright.sync_api import sync_playwright

    settings.SAVE_SNAPSHOTS = False
    settings.PER_ELEMENT_SCAN = False
    pages = [("shop.html", (ROOT / "tests" / "pages" / "shop.html").as_uri())] + [
        (f"generated {n}", n) for n in (100, 500, 2000)] + [
        ("tall 1,000", tall_page(1000)), ("tall 4,000", tall_page(4000)), ("scaled form", scaled_form())]
    print(f"page scanner: extract_interactable_elements(), per-element protocol (median of {rounds} scans, one of "
          f"the 2,000-element page) vs one-call scan and one bare DOM walk (medians of 15)")
    print(f"  {'page':<14} {'elements':>8} {'found':>9} {'per element':>12} {'calls':>6} {'one call':>9}"
          f" {'bare walk':>10} {'speed-up':>9} {'vs walk':>8}")
    with sync_playwright() as playwright:
        browser = playwright.chromium.launch(executable_path=executable, headless=True, args=["--no-sandbox"])
        page = browser.new_page(viewport={"width": 1280, "height": 800})
        for name, source in pages:
            if isinstance(source, int):
                page.set_content(generated_page(source))
            elif source.startswith("<!doctype"):
                page.set_content(source)
            else:
                page.goto(source)
            large = source == 2000 or name.startswith("tall")
            count, per_element, calls, single, walk, found, texts = measure(page, 1 if large else rounds)
            print(f"  {name:<14} {count:>8} {found:>4}+{texts:<4} {per_element * 1000:>10.0f}ms {calls:>6}"
                  f" {single * 1000:>7.1f}ms {walk * 1000:>8.1f}ms {per_element / single:>8.0f}x"
                  f" {single / walk:>7.2f}x")
        print("page facts: one-call scan without and with the facts (medians of 15, alternating)")
        print(f"  {'page':<14} {'without':>9} {'with':>9} {'ratio':>6}")
        for name, source in (pages[0], pages[-1], ("table 500 rows", generated_table(500))):
            if isinstance(source, int):
                page.set_content(generated_page(source))
            elif source.startswith("<!doctype"):
                page.set_content(source)
            else:
                page.goto(source)
            plain, with_facts = facts_cost(page)
            print(f"  {name:<14} {plain * 1000:>7.1f}ms {with_facts * 1000:>7.1f}ms {with_facts / plain:>5.2f}x")
        browser.close()


if __name__ == "__main__":
    main()
