"""Descriptors and matrix entries for the spatial tests, made by hand."""


def box(x, y, width, height):
    return {"x": x, "y": y, "width": width, "height": height}


def element(tag, text="", x=0, y=0, width=100, height=30, xpath=None, **attributes):
    """An element descriptor; keyword arguments become attributes (aria_label -> aria-label)."""
    attributes = {k.replace("aria_label", "aria-label"): v for k, v in attributes.items()}
    return {"tag": tag, "text": text, "attributes": attributes, "bounding_box": box(x, y, width, height),
            "is_visible": True, "is_enabled": True, "xpath": xpath or f"/html[1]/body[1]/{tag}[1]"}


def text_element(text, x=0, y=0, width=100, height=20, tag="span", xpath=None, **attributes):
    return {"tag": tag, "text": text, "has_direct_text": True, "attributes": attributes,
            "bounding_box": box(x, y, width, height), "is_visible": True, "is_enabled": True,
            "xpath": xpath or f"/html[1]/body[1]/{tag}[1]"}


def position(x, y, w, h):
    return {"x": x, "y": y, "w": w, "h": h, "cx": x + w / 2, "cy": y + h / 2, "x2": x + w, "y2": y + h}


def entry(index, element_type="button", text="", x=0, y=0, w=100, h=30, anchor_only=False, searchable=None,
          element=None, **extra):
    """A matrix entry built by hand, as a caller may write one."""
    made = {"index": index, "tag": element_type, "element_type": element_type, "text": text, "label": "",
            "searchable": text if searchable is None else searchable, "is_enabled": True,
            "is_anchor_only": anchor_only, "order_in_type": 1, "position": position(x, y, w, h),
            "element": element if element is not None else {"name": f"e{index}", "attributes": {}, "xpath": ""}}
    made.update(extra)
    return made
