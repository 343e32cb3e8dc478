"""Random small pages for comparing the page scanner's two ways of reading a page.

random_page(seed) -> (html, scroll_y): a DOM tree of 10 to 40 elements mixing
controls, roles, labels, text containers and styles that decide visibility,
enablement and geometry, with awkward ids and non-ASCII text.
"""

import html
import random

TAGS = ["div", "span", "p", "a", "button", "input", "textarea", "select", "label", "ul", "li", "table", "h2",
        "img", "fieldset", "section", "svg"]
CONTAINERS = {"div", "span", "p", "a", "button", "label", "ul", "li", "fieldset", "section", "h2", "td"}
ROLES = ["button", "link", "textbox", "checkbox", "menuitem", "option", "combobox", "switch", "tab", "none",
         "presentation", "grid", "row", "gridcell", "heading", "nonsense", "none button", "group"]
WORDS = ["Save", "Email", "Name", "Total:", "42", "Grüße", "日本語", "naïve café", "Ünïcödé", "👍 ok", "Price €",
         "Search", "  ", "Delete item", "x" * 55, "A" * 61, "Ελληνικά", "Apply", "Σ"]
IDS = ["f1", "f2", "name", ":r1:", "1st", 'q"t', "x y", "émail", "-2", "a\\b", "dup", "dup"]
STYLES = ["display:none", "visibility:hidden", "opacity:0", "width:0;height:0;overflow:hidden", "cursor:pointer",
          "display:contents", "position:absolute;left:13.3px;top:7.7px", "transform:rotate(7deg)",
          "transform:scale(1.37)", "margin-left:0.3px;padding:1.1px", "font-size:13.7px", "display:inline-block",
          "height:45px", "width:33.3%", "visibility:collapse", "content-visibility:hidden", "display:block"]
CLASSES = ["form-input", "editable", "chip", "InputWrap", "menu", "btn"]


class _Builder:
    def __init__(self, rng):
        self.rng = rng
        self.count = 0

    def attributes(self, tag):
        rng, out = self.rng, []
        if rng.random() < 0.3:
            out.append(("id", rng.choice(IDS)))
        if rng.random() < 0.2:
            out.append(("role", rng.choice(ROLES)))
        for name, chance in (("aria-label", 0.12), ("title", 0.08), ("placeholder", 0.1), ("data-testid", 0.1),
                             ("data-x", 0.08), ("value", 0.08), ("name", 0.1), ("alt", 0.05)):
            if rng.random() < chance:
                out.append((name, rng.choice(WORDS + ["", " "])))
        if rng.random() < 0.1:
            out.append(("aria-labelledby", rng.choice(IDS + ["missing", "f1 f2", " name  dup "])))
        if rng.random() < 0.15:
            out.append(("class", rng.choice(CLASSES)))
        if rng.random() < 0.1:
            out.append(("aria-disabled", rng.choice(["true", "false", "TRUE"])))
        if rng.random() < 0.08:
            out.append(("disabled", ""))
        if rng.random() < 0.05:
            out.append(("tabindex", "0"))
        if tag == "a" and rng.random() < 0.7:
            out.append(("href", "#" + rng.choice(IDS)))
        if tag == "label" and rng.random() < 0.5:
            out.append(("for", rng.choice(IDS)))
        if tag == "input" and rng.random() < 0.6:
            out.append(("type", rng.choice(["text", "checkbox", "hidden", "submit", "radio", "email", "number"])))
        if rng.random() < 0.35:
            styles = rng.sample(STYLES, rng.randint(1, 2))
            out.append(("style", ";".join(styles)))
        seen, unique = set(), []
        for name, value in out:
            if name not in seen:
                seen.add(name)
                unique.append((name, value))
        return unique

    def element(self, depth):
        rng = self.rng
        self.count += 1
        tag = rng.choice(TAGS)
        attrs = "".join(f' {n}="{html.escape(v, quote=True)}"' for n, v in self.attributes(tag))
        if tag in ("input", "img"):
            return f"<{tag}{attrs}>"
        if tag == "svg":
            return (f'<svg width="20" height="10"{attrs}><a href="#s" data-testid="svg-link">'
                    f'<text x="0" y="9">{html.escape(rng.choice(WORDS))}</text></a></svg>')
        if tag == "select":
            return f"<select{attrs}><option>One</option><optgroup label='g' disabled><option>Two</option></optgroup></select>"
        if tag == "table":
            cells = "".join(f"<td>{html.escape(rng.choice(WORDS))}</td>" for _ in range(rng.randint(1, 3)))
            return f"<table{attrs}><tr><th>{html.escape(rng.choice(WORDS))}</th>{cells}</tr></table>"
        if tag == "fieldset" and rng.random() < 0.5:
            attrs += " disabled"
        children = []
        if depth < 4 and tag in CONTAINERS:
            for _ in range(rng.randint(0, 3)):
                if self.count >= self.limit:
                    break
                if rng.random() < 0.5:
                    children.append(html.escape(rng.choice(WORDS)))
                children.append(self.element(depth + 1))
        if not children or rng.random() < 0.4:
            children.insert(0, html.escape(rng.choice(WORDS)))
        if tag == "fieldset" and rng.random() < 0.5:
            children.insert(0, f"<legend>{html.escape(rng.choice(WORDS))}<input name='in-legend'></legend>")
        return f"<{tag}{attrs}>{''.join(children)}</{tag}>"


def random_page(seed):
    rng = random.Random(seed)
    builder = _Builder(rng)
    builder.limit = rng.randint(10, 40)
    body = []
    while builder.count < builder.limit:
        body.append(builder.element(0))
    filler = f'<div style="height:{rng.choice([0, 300, 1500])}px"></div>'
    scroll_y = rng.choice([0, 0, 37, 250, 900])
    page = (f"<!doctype html><html><head><meta charset='utf-8'><style>body{{margin:{rng.choice([0, 8, 3.5])}px}}"
            f"</style></head><body>{filler if rng.random() < 0.5 else ''}{''.join(body)}{filler}</body></html>")
    return page, scroll_y
