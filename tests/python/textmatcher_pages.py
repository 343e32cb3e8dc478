"""Descriptor builders shared by the text matcher tests."""


def element(text="", tag="button", attributes=None, x=0, y=0, width=100, height=20, visible=True, enabled=True,
            xpath=None, **extra):
    """An element descriptor with the page scanner's keys, in its order."""
    d = {"tag": tag, "text": text, "attributes": {} if attributes is None else attributes,
         "bounding_box": {"x": x, "y": y, "width": width, "height": height}, "is_visible": visible,
         "is_enabled": enabled, "xpath": xpath if xpath is not None else f"/html[1]/body[1]/{tag}[1]"}
    d.update(extra)
    return d


def text_element(text, tag="span", x=0, y=0, width=60, height=20, xpath="/html[1]/body[1]/div[1]/span[1]",
                 attributes=None, visible=True):
    """A text element descriptor with the page scanner's keys, in its order."""
    return {"tag": tag, "text": text, "has_direct_text": True, "attributes": {} if attributes is None else attributes,
            "bounding_box": {"x": x, "y": y, "width": width, "height": height}, "is_visible": visible,
            "is_enabled": True, "xpath": xpath}


def instruction(action, target, value=None, ordinal=None):
    """A parsed instruction; "ordinal" only when given, as for click and extract_text."""
    d = {"action": action, "target": target, "value": value}
    if ordinal is not None:
        d["ordinal"] = ordinal
    d["_literal_target"] = False
    return d


ELEMENT_KEYS = ["resolved", "confidence", "element", "candidates"]
CHECK_KEYS = ["resolved", "verified", "confidence", "element", "state", "candidates"]
EXTRACTION_KEYS = ["resolved", "confidence", "element", "extracted", "candidates"]


def same(records, expected):
    """The records are the very objects expected, in order."""
    return len(records) == len(expected) and all(a is b for a, b in zip(records, expected))
