"""Acting on the widgets real apps use, as a person would.

Plain inputs and textareas are filled. A contenteditable element, or a code
editor (a textarea the page hides behind an editable view), gets its whole
content replaced: focus, select all, type. A wrapper (a custom input) stands
for the field or editable view inside it. A select chooses by label, then
value; any other element (a script-built dropdown, role combobox or listbox)
is opened and the option with the matching text is clicked.
"""

import re
import time

from playwright.sync_api import Error as PlaywrightError

# "field": fill it; "editable": the element itself is contenteditable; "editor":
# type into the editable view marked with data-vantor-editor (a hidden textarea's,
# or one inside a wrapper); "inner field": fill the input or textarea marked so.
_KIND_JS = """(el) => {
  const EDITABLE = "[contenteditable=''], [contenteditable='true'], [contenteditable='plaintext-only']";
  const mark = (node) => {
    document.querySelectorAll("[data-vantor-editor]").forEach((marked) => marked.removeAttribute("data-vantor-editor"));
    node.setAttribute("data-vantor-editor", "");
  };
  if (el.isContentEditable) return "editable";
  if (el.tagName === "SELECT") return "field";
  if (el.tagName !== "TEXTAREA" && el.tagName !== "INPUT") {
    const inner = el.querySelector(`${EDITABLE}, input:not([type=hidden]), textarea`);
    if (!inner) return "field";
    mark(inner);
    return inner.isContentEditable ? "editor" : "inner field";
  }
  const box = el.getBoundingClientRect(), style = getComputedStyle(el);
  const hidden = box.width <= 2 || box.height <= 2 || Number(style.opacity) === 0 || style.visibility === "hidden"
    || style.display === "none" || box.right < 0 || box.bottom < 0;
  if (!hidden || el.tagName !== "TEXTAREA") return "field";
  for (let up = el.parentElement, depth = 0; up && depth < 4; up = up.parentElement, depth++) {
    const view = up.querySelector(EDITABLE);
    if (view) { mark(view); return "editor"; }
  }
  return "field";
}"""
EDITOR_VIEW = "[data-vantor-editor]"


def field_kind(locator, timeout_ms):
    return locator.evaluate(_KIND_JS, timeout=timeout_ms)


def type_text(page, locator, value, timeout_ms):
    kind = field_kind(locator, timeout_ms)
    if kind == "field":
        locator.fill(value, timeout=timeout_ms)
        return
    if kind == "inner field":
        page.locator(EDITOR_VIEW).first.fill(value, timeout=timeout_ms)
        return
    view = locator if kind == "editable" else page.locator(EDITOR_VIEW).first
    view.click(timeout=timeout_ms)
    page.keyboard.press("ControlOrMeta+a")
    if value:
        page.keyboard.type(value)
    else:
        page.keyboard.press("Delete")


def is_native_select(locator, timeout_ms):
    """A scan may name a script-built dropdown by a stand-in record (a pointer-cursor
    "button"), so the page, not the record, says whether this is a <select>."""
    return locator.evaluate("el => el.tagName === 'SELECT'", timeout=timeout_ms)


def choose_native(locator, option, timeout_ms):
    """By the option's label as shown, else by its value."""
    try:
        locator.select_option(label=option, timeout=min(timeout_ms, 1000))
    except PlaywrightError:
        locator.select_option(value=option, timeout=timeout_ms)


def choose_in_dropdown(page, locator, option, timeout_ms):
    """Opens a script-built dropdown and clicks the option whose text is the one asked for
    (whole text first, then any option containing it), waiting for the options to appear."""
    deadline = time.monotonic() + timeout_ms / 1000
    if (locator.get_attribute("role", timeout=timeout_ms) or "").lower() != "listbox":
        locator.click(timeout=timeout_ms)
    exact = re.compile(rf"^\s*{re.escape(option)}\s*$", re.IGNORECASE)
    while True:
        options = page.locator("[role=option]:visible")
        for match in (options.filter(has_text=exact), options.filter(has_text=option)):
            if match.count():
                match.first.click(timeout=max(1, int((deadline - time.monotonic()) * 1000)))
                return
        if time.monotonic() >= deadline:
            raise LookupError(f"no option {option!r} appeared in the dropdown")
        page.wait_for_timeout(100)
