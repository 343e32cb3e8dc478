"""Spatial matrix build and resolution against the allocation floor.

Pages are made of realistic blocks (forms of labelled inputs, tables with a
link and a button per row, toolbars of buttons), scaled to 100, 1,000 and
10,000 entries. The floor is a plain comprehension that builds entries of the
matrix's shape (eleven keys, an eight-key position) from the same descriptors
with no rules at all: the output any builder has to make. Each round times
every loop once, side by side; the figures are medians over the rounds.
"""

import random
import statistics
import time

from vantor.engine.spatial.gridmaker import GridMaker
from vantor.engine.spatial.gridseeker import GridSeeker

FIELDS = ["First name", "Last name", "Email", "Phone", "Street", "City", "Zip code", "Country", "Password", "Company"]
ACTIONS = ["Save", "Cancel", "Edit", "Delete", "Refresh", "Export", "Print", "Share"]


class Page:
    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.dom, self.texts = [], []
        self.y = 0
        self.blocks = 0

    def box(self, x, y, w, h):
        return {"x": x, "y": y, "width": w, "height": h}

    def element(self, tag, text, x, y, w, h, **attributes):
        self.dom.append({"tag": tag, "text": text, "attributes": attributes, "bounding_box": self.box(x, y, w, h),
                         "is_visible": True, "is_enabled": True, "xpath": f"/html[1]/body[1]/div[{self.blocks}]/{tag}[{len(self.dom)}]"})

    def text(self, tag, text, x, y, w, h):
        self.texts.append({"tag": tag, "text": text, "has_direct_text": True, "attributes": {},
                           "bounding_box": self.box(x, y, w, h), "is_visible": True, "is_enabled": True,
                           "xpath": f"/html[1]/body[1]/div[{self.blocks}]/{tag}[{len(self.texts)}]"})

    def form(self):
        for name in self.rng.sample(FIELDS, 4):
            self.text("label", name, 40, self.y, 120, 18)
            self.element("input", "", 40, self.y + 22, 300, 32, type="text", name=name.lower().replace(" ", "_"),
                         placeholder=name, _label=name)
            self.y += 70
        self.element("button", "Save", 40, self.y, 90, 36, type="submit")
        self.element("button", "Cancel", 150, self.y, 90, 36)
        self.y += 60

    def table(self):
        for row in range(5):
            self.text("td", f"Order {self.blocks}-{row}", 40, self.y, 200, 24)
            self.text("td", f"${self.rng.randint(5, 500)}.00", 260, self.y, 80, 24)
            self.element("a", "Details", 360, self.y, 60, 24, href="#")
            self.element("button", "Delete", 440, self.y, 70, 24, **{"aria-label": "Delete row"})
            self.y += 32

    def toolbar(self):
        x = 40
        for name in self.rng.sample(ACTIONS, 5):
            self.element("div", name, x + 0.5, self.y + 0.25, 72.5, 30.5, role="button")
            x += 80
        self.y += 50

    def fill(self, count):
        while len(self.dom) + len(self.texts) < count:
            self.blocks += 1
            self.rng.choice([self.form, self.table, self.toolbar])()
        return self


def floor(dom, texts):
    """Entries of the matrix's shape, no rules: the least any builder allocates."""
    def entry(el, kind, anchor_only):
        bb = el["bounding_box"]
        x, y, w, h = bb["x"], bb["y"], bb["width"], bb["height"]
        return {"index": 0, "tag": el["tag"], "element_type": kind, "text": el["text"], "label": "",
                "searchable": el["text"], "is_enabled": True, "is_anchor_only": anchor_only, "order_in_type": 0,
                "position": {"x": x, "y": y, "w": w, "h": h, "cx": x + w / 2, "cy": y + h / 2, "x2": x + w, "y2": y + h},
                "element": el}
    return [entry(el, el["tag"], False) for el in dom] + [entry(t, "text", True) for t in texts]


def targets(page):
    """Four steps as the step reader parses them, naming things the page has."""
    field = next(t["text"] for t in page.texts if t["tag"] == "label")
    row = next((t["text"] for t in page.texts if t["text"].startswith("Order")), field)
    return [
        {"action": "click", "target": f"button below {field}", "value": None, "ordinal": 1, "_literal_target": False},
        {"action": "click", "target": "link", "value": None, "ordinal": 3, "_literal_target": False},
        {"action": "type", "target": f"input below the {field}", "value": "x", "_literal_target": False},
        {"action": "click", "target": f"Delete button right of {row}", "value": None, "ordinal": 1,
         "_literal_target": False},
    ]


def time_ms(run):
    start = time.perf_counter_ns()
    run()
    return (time.perf_counter_ns() - start) / 1e6


def measure(count, rounds):
    page = Page(seed=count).fill(count)
    dom, texts = page.dom, page.texts
    steps = targets(page)

    def build():
        GridMaker(dom, texts).build()

    def build_and_resolve():
        seeker = GridSeeker(GridMaker(dom, texts).build())
        for instruction in steps:
            assert seeker.resolve(instruction)["resolved"], instruction

    loops = {"floor": lambda: floor(dom, texts), "build()": build, "build() + 4 resolve()": build_and_resolve}
    samples = {name: [] for name in loops}
    for _ in range(rounds):
        for name, run in loops.items():
            samples[name].append(time_ms(run))
    medians = {name: statistics.median(values) for name, values in samples.items()}
    base = medians["floor"]
    print(f"  {len(dom) + len(texts):>6} entries ({len(dom)} elements, {len(texts)} texts), {rounds} rounds")
    for name, ms in medians.items():
        print(f"    {name:<22} {ms:9.3f} ms   {ms / base:5.2f}x the floor")


def main():
    print("spatial matrix: median ms per page; floor = comprehension building same-shaped entries")
    for count, rounds in ((100, 301), (1_000, 61), (10_000, 15)):
        measure(count, rounds)


if __name__ == "__main__":
    main()
