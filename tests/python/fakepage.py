"""A stand-in for the browser page: answers the scanner's calls from plain data,
records every call in order, and raises on the calls a test chooses.

Calls are recorded as (who, operation, argument): who is "page" or an
element's name; scripts are recorded by a short name ("tag", "data", "xpath",
"direct", "sibling", "parent", "wrapping", "selects", "cursor").
"""

from vantor.engine.browser import pagescanner

TAG_JS = "el => el.tagName.toLowerCase()"
DATA_JS = ("el => Object.fromEntries(Array.from(el.attributes).filter(a => a.name.startsWith('data-'))"
           ".map(a => [a.name, a.value]))")
DIRECT_JS = "el => Array.from(el.childNodes).some(n => n.nodeType === 3 && n.textContent.trim().length > 0)"
CANDIDATE_SELECTOR = "h1, h2, h3, h4, h5, h6, label, div, span, p"
BOX = {"x": 10, "y": 20, "width": 100, "height": 20}


def script_name(script):
    known = {TAG_JS: "tag", DATA_JS: "data", DIRECT_JS: "direct", pagescanner._XPATH_JS: "xpath"}
    if script in known:
        return known[script]
    if script.startswith("() =>"):
        return "cursor"
    if "querySelectorAll('select')" in script:
        return "selects"
    if "closest('label')" in script:
        return "wrapping"
    if "parent.children" in script:
        return "parent"
    if "previousElementSibling" in script:
        return "sibling"
    raise AssertionError(f"a script the scanner should not send: {script!r}")


class FakeElement:
    def __init__(self, page, name, *, tag="input", text="", attributes=None, box=BOX, visible=True, enabled=True,
                 data=None, xpath=None, direct=True, scripts=None):
        self.page, self.name, self.tag, self.text = page, name, tag, text
        self.attributes = dict(attributes or {})
        self.box, self.visible, self.enabled = box, visible, enabled
        self.data = dict(data or {})
        self.xpath = xpath if xpath is not None else f"/html[1]/body[1]/{tag}[{len(page.elements) + 1}]"
        self.direct = direct
        self.scripts = dict(scripts or {})  # label script name -> answer
        page.elements.append(self)

    def _call(self, operation, argument=None):
        self.page.record(self.name, operation, argument)

    def is_visible(self):
        self._call("is_visible")
        return self.visible

    def is_enabled(self):
        self._call("is_enabled")
        return self.enabled

    def inner_text(self):
        self._call("inner_text")
        return self.text

    def get_attribute(self, name):
        self._call("get_attribute", name)
        return self.attributes.get(name)

    def bounding_box(self):
        self._call("bounding_box")
        return self.box

    def evaluate(self, script):
        name = script_name(script)
        self._call("evaluate", name)
        return {"tag": self.tag, "data": dict(self.data), "xpath": self.xpath, "direct": self.direct}.get(
            name, self.scripts.get(name))


class FakePage:
    def __init__(self, url="https://shop.test/cart"):
        self.address = url
        self.calls = []
        self.failures = {}  # (who, operation, argument or None) -> exception to raise
        self.elements = []
        self.lists = {}  # selector -> elements query_selector_all answers
        self.singles = {}  # selector -> element query_selector answers
        self.cursor_items = []

    def record(self, who, operation, argument=None):
        self.calls.append((who, operation, argument))
        for key in ((who, operation, argument), (who, operation, None)):
            if key in self.failures:
                raise self.failures[key]

    def element(self, name, **kwargs):
        return FakeElement(self, name, **kwargs)

    def calls_of(self, who):
        return [(operation, argument) for caller, operation, argument in self.calls if caller == who]

    @property
    def url(self):
        self.record("page", "url")
        return self.address

    def query_selector_all(self, selector):
        self.record("page", "query_selector_all", selector)
        return list(self.lists.get(selector, []))

    def query_selector(self, selector):
        self.record("page", "query_selector", selector)
        return self.singles.get(selector)

    def evaluate(self, script):
        self.record("page", "evaluate", script_name(script))
        return self.cursor_items
