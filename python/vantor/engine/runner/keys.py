"""Key names as a tester writes them ("enter", "ctrl+a") to the names the browser expects."""

_NAMED_KEYS = {
    name.lower(): name
    for name in (
        "Enter", "Tab", "Escape", "Backspace", "Delete", "Insert", "Home", "End", "PageUp", "PageDown",
        "ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "Space", "Shift", "Control", "Alt", "Meta",
        *(f"F{n}" for n in range(1, 13)),
    )
}
_ALIASES = {"esc": "Escape", "return": "Enter", "ctrl": "Control", "cmd": "Meta", "del": "Delete",
            "up": "ArrowUp", "down": "ArrowDown", "left": "ArrowLeft", "right": "ArrowRight"}


def key_name(part):
    """The browser's name of one key, or None when the text names no key."""
    lowered = part.strip().lower()
    if lowered in _NAMED_KEYS:
        return _NAMED_KEYS[lowered]
    if lowered in _ALIASES:
        return _ALIASES[lowered]
    return part if len(part) == 1 else None


def key_combination(text):
    """'ctrl+a' -> 'Control+a'; None when any part is not a key (then the text is to be typed)."""
    parts = text.split("+") if len(text) > 1 else [text]
    names = [key_name(part) for part in parts]
    return None if not parts or None in names else "+".join(names)
