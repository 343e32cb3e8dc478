"""The elements closest to a target that nothing resolved, and what of each matched.

A word of the target matches a surface of an element when the surface
contains it; the elements with the most matched words come first.
"""

from vantor.engine.runner.outcome import Candidate, ElementSeen

# The surfaces a person would recognise an element by, in the order they are shown.
_SURFACES = ("text", "_label", "aria-label", "placeholder", "title", "alt", "name", "id", "value", "data-testid")
_FILLER = {"the", "a", "an", "in", "at", "on", "into", "of", "to", "field", "button", "link", "box", "input"}
MAX_CANDIDATES = 3


def closest(target, elements, limit=MAX_CANDIDATES):
    words = [word for word in (target or "").lower().split() if word not in _FILLER] or (target or "").lower().split()
    if not words:
        return []
    scored = []
    for position, element in enumerate(elements):
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
        lowered = value.lower()
        here = [word for word in words if word in lowered]
        if here:
            found.update(here)
            name = "label" if surface == "_label" else surface
            matched.append(f"{name} {_short(value)!r}")
    return matched, len(found)


def _short(text, limit=30):
    text = " ".join(text.split())
    return text if len(text) <= limit else text[: limit - 1] + "…"
