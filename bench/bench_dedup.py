"""Growth of the text de-duplication with the number of text candidates.

A large data table: every row is a wrapper without text of its own, holding
five cells, inside a page-wide table wrapper; that is the shape that made the
de-duplication quadratic (every wrapper compared with every candidate). The
growth factor is the time at one size over the time at the size before,
divided by the ratio of the sizes: about 1 means n log n or better, about the
size ratio means quadratic. Figures are medians of several runs.
"""

import statistics
import time

from vantor.engine.browser.pagescanner import PageScanner

SIZES = [10_000, 40_000, 100_000]
ROW_HEIGHT = 24
CELLS = 5


def table(candidates):
    """A page-wide wrapper holding a table of rows of cells; each row's cells
    sit in a row wrapper (a div-based grid), and one cell in five holds its
    text in a span (a wrapper of one child)."""
    rows = (candidates - 1) // (CELLS + 2)
    records, page_text = [], []
    for row in range(rows):
        y = row * ROW_HEIGHT
        cells = [f"r{row}c{c}" for c in range(CELLS)]
        page_text.append("\t".join(cells))
        records.append({"tag": "div", "text": "\t".join(cells), "has_direct_text": False,
                        "bounding_box": {"x": 0, "y": y, "width": 1000, "height": ROW_HEIGHT}})
        for c, text in enumerate(cells):
            box = {"x": c * 200, "y": y, "width": 200, "height": ROW_HEIGHT}
            records.append({"tag": "td", "text": text, "has_direct_text": c != 0, "bounding_box": box})
        records.append({"tag": "span", "text": cells[0], "has_direct_text": True,
                        "bounding_box": {"x": 4, "y": y + 4, "width": 60, "height": 16}})
    wrapper = {"tag": "div", "text": "\n".join(page_text), "has_direct_text": False,
               "bounding_box": {"x": 0, "y": 0, "width": 1000, "height": rows * ROW_HEIGHT}}
    return [wrapper] + records


def seconds(candidates, runs):
    samples = []
    for _ in range(runs):
        start = time.perf_counter()
        PageScanner._dedup_text_elements(candidates)
        samples.append(time.perf_counter() - start)
    return statistics.median(samples)


def main():
    print("text de-duplication of a large table: median time; growth over size ratio (n log n ~ 1, quadratic ~ ratio)")
    previous = None
    for size in SIZES:
        candidates = table(size)
        kept = PageScanner._dedup_text_elements(candidates)
        rows = (len(candidates) - 1) // (CELLS + 2)
        assert len(kept) == rows * CELLS  # the page and row wrappers give way, and the cells to their spans
        took = seconds(candidates, runs=5)
        growth = "" if previous is None else f"   growth/size ratio: {(took / previous[1]) / (size / previous[0]):.2f}"
        print(f"  {size:>7} candidates  {took * 1e3:9.1f} ms{growth}")
        previous = (size, took)


if __name__ == "__main__":
    main()
