"""The elements closest to a target that nothing resolved, and what of each matched.

A word of the target matches a surface of an element when it is one of the
surface's words; the elements with the most matched words come first.
"""

import re

from vantor.engine.runner.outcome import Candidate, ElementSeen

# The surfaces a person would recognise an element by, in the order they are shown.
_SURFACES = ("text", "_label", "aria-label", "placeholder", "title", "alt", "name", "id", "value", "data-testid")
_FILLER = {"the", "a", "an", "in", "at", "on", "into", "of", "to", "field", "button", "link", "box", "input"}
MAX_CANDIDATES = 3


def closest(target, elements, limit=MAX_CANDIDATES):
    all_words = _words(target or "")
    words = [word for word in all_words if word not in _FILLER] or all_words
    if not words:
        return []
    scored, seen = [], set()
    for position, element in enumerate(elements):
        xpath = element.get("xpath")
        if xpath in seen:
            continue  # an element both interactable and a text: keep its first record
        seen.add(xpath)
        matched, hits = _matches(words, element)
        if hits:
            scored.append((-hits, not element.get("is_visible", True), position, element, matched))
    scored.sort(key=lambda entry: entry[:3])
    return [Candidate(ElementSeen.of(element), matched) for *_, element, matched in scored[:limit]]


def _matches(words, element):
    attributes = element.get("attributes") or {}
    found, matched = set(), []
    for surface in _SURFACES:
        value = element.get("text") if surface == "text" else attributes.get(surface)
        if not isinstance(value, str) or not value:
            continue
        present = set(_words(value))
        here = [word for word in words if word in present]
        if here:
            found.update(here)
            name = "label" if surface == "_label" else surface
            matched.append(f"{name} {_short(value)!r}")
    return matched, len(found)


def _words(text):
    return re.findall(r"\w+", text.lower())


def _short(text, limit=30):
    text = " ".join(text.split())
    return text if len(text) <= limit else text[: limit - 1] + "…"
