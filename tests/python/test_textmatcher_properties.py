"""Randomized pages: the invariants of every outcome, and a small reference resolver written with str methods.

Pages are shuffled, repeat texts, hide elements and drop keys; whatever the
outcome, the result has exactly its family's keys, hands back the caller's own
records, sorts stably, and leaves every argument as it was.
"""

import copy

from hypothesis import given, settings
from hypothesis import strategies as st

from test_textmatcher_surfaces import reference_strip, reference_surfaces
from textmatcher_pages import CHECK_KEYS, ELEMENT_KEYS, EXTRACTION_KEYS
from vantor.engine.strategies.textmatcher import TextMatcher

WORDS = ["Save", "save changes", "Total", "42", "Login", "log in", "Email", " Save ", "Σave", "İtem", "total\n9"]
TAGS = ["button", "input", "a", "span", "td", "div", "select", "textarea", "p"]
ACTIONS = ["click", "type", "select", "hover", "extract_text", "verify_present", "verify_visible", "verify_enabled",
           "verify_disabled", "verify_text_present", "verify_text_visible", "find_text", "find_exact_text",
           "verify_spatial_text", "extract_text_spatial"]
DIRECTIONAL = ["right of Total", "left of total", "below Save", "above the Email", "next to Login", "under 42"]
FAMILY = {"verify_present": CHECK_KEYS, "verify_visible": CHECK_KEYS, "verify_enabled": CHECK_KEYS,
          "verify_disabled": CHECK_KEYS, "verify_text_present": CHECK_KEYS, "verify_text_visible": CHECK_KEYS,
          "verify_spatial_text": CHECK_KEYS, "extract_text_spatial": EXTRACTION_KEYS}

coordinate = st.one_of(st.integers(0, 400), st.sampled_from([0.5, 100.25, 200]))
flag = st.sampled_from([True, False, None, 0, 1])


@st.composite
def descriptor(draw, text_kind=False):
    d = {"tag": draw(st.sampled_from(TAGS)), "text": draw(st.sampled_from(WORDS))}
    attributes = {}
    for key in draw(st.lists(st.sampled_from(["aria-label", "_label", "placeholder", "type", "class", "id",
                                              "data-save-btn", "role"]), max_size=3)):
        attributes[key] = draw(st.sampled_from(WORDS + ["textbox", "nav_save_btn"]))
    d["attributes"] = attributes
    d["bounding_box"] = {"x": draw(coordinate), "y": draw(coordinate), "width": draw(st.integers(1, 80)),
                         "height": draw(st.integers(1, 40))}
    d["is_visible"] = draw(flag)
    d["is_enabled"] = draw(flag)
    d["xpath"] = "/html[1]/body[1]/div[%d]/%s[1]" % (draw(st.integers(1, 3)), d["tag"])
    for key in draw(st.lists(st.sampled_from(["is_visible", "is_enabled", "attributes", "bounding_box"]
                                             + ([] if text_kind else ["text", "tag", "xpath"])), max_size=2)):
        d.pop(key, None)
    return d


page = st.lists(descriptor(), max_size=12)
text_page = st.one_of(st.none(), st.lists(descriptor(text_kind=True), max_size=12))


@st.composite
def step(draw):
    action = draw(st.sampled_from(ACTIONS))
    if action in ("verify_spatial_text", "extract_text_spatial"):
        target = draw(st.sampled_from(DIRECTIONAL))
    else:
        target = draw(st.sampled_from(WORDS + ["Save button", "email field", "", "zzz"]))
    d = {"action": action, "target": target, "value": draw(st.sampled_from(["42", "", "$42.00", "save"]))}
    if draw(st.booleans()):
        d["ordinal"] = draw(st.integers(-3, 4))
    return d


def position_in(record, lists):
    for number, items in enumerate(lists):
        for i, item in enumerate(items):
            if item is record:
                return number, i
    raise AssertionError("a record that was not passed in")


@settings(max_examples=400, deadline=None)
@given(step(), page, text_page)
def test_invariants(instruction, dom, texts):
    before = copy.deepcopy((instruction, dom, texts))
    ids = ([id(d) for d in dom], None if texts is None else [id(t) for t in texts])
    result = TextMatcher().resolve(instruction, dom, texts)
    # nothing the caller passed changes, not even the order of a list
    assert (instruction, dom, texts) == before
    assert ([id(d) for d in dom], None if texts is None else [id(t) for t in texts]) == ids
    assert list(result) == FAMILY.get(instruction["action"], ELEMENT_KEYS)
    assert result["confidence"] == (1.0 if result["resolved"] else 0.0)
    assert type(result["candidates"]) is list and result["candidates"] is not dom and result["candidates"] is not texts
    lists = [dom, texts or []]
    for record in result["candidates"]:
        position_in(record, lists)  # the caller's own records
    if not result["resolved"]:
        assert result["element"] is None
        if instruction["action"] != "find_exact_text":
            assert result["candidates"] == []
    else:
        position_in(result["element"], lists)
        if result["candidates"]:
            assert any(c is result["element"] for c in result["candidates"])
    if "state" in result:
        if not result["resolved"]:
            assert result["verified"] is False
    if "extracted" in result:
        assert result["extracted"] == (result["element"]["text"].strip() if result["resolved"] else "")


def ref_matches(target, el, label):
    return any(target.lower() in s.lower() for s in reference_surfaces(el, label))


def ref_exact(target, el, label):
    return any(s.lower().strip() == target.lower() for s in reference_surfaces(el, label))


def reference_element_resolution(instruction, dom, texts):
    action, target = instruction.get("action", ""), instruction.get("target", "")
    eligible = dom
    if action == "type":
        eligible = [e for e in dom if e.get("tag") in ("input", "textarea")
                    or (e.get("attributes") or {}).get("role") in ("textbox", "searchbox", "spinbutton", "combobox")
                    or e.get("is_editable_field")] or dom
    elif action == "select":
        eligible = [e for e in dom if e.get("tag") == "select"] or dom
    scoring, label = reference_strip(target), action == "type"
    matched = [e for e in eligible if e.get("is_visible") and ref_matches(scoring, e, label)]
    if not matched:
        matched = [e for e in eligible if ref_matches(scoring, e, label)]
    if not matched and texts and action == "extract_text":
        matched = [t for t in texts if t.get("is_visible") and ref_matches(scoring, t, False)]
    if not matched:
        return None, []
    pool = [e for e in matched if ref_exact(scoring, e, label)] or matched
    ordinal = instruction.get("ordinal", 1)
    if ordinal > 0:
        pool.sort(key=lambda e: ((e.get("bounding_box") or {}).get("y", 0), (e.get("bounding_box") or {}).get("x", 0)))
    else:
        pool.sort(key=lambda e: len(e.get("text") or ""))
    index = min(ordinal - 1, len(pool) - 1)
    if index < -len(pool):
        index = 0
    return pool[index], pool


@settings(max_examples=400, deadline=None)
@given(step().filter(lambda s: s["action"] in ("click", "type", "select", "hover", "extract_text")), page, text_page)
def test_element_resolution_follows_the_reference(instruction, dom, texts):
    element, pool = reference_element_resolution(instruction, dom, texts)
    result = TextMatcher().resolve(instruction, dom, texts)
    assert result["element"] is element
    assert len(result["candidates"]) == len(pool) and all(a is b for a, b in zip(result["candidates"], pool))


@settings(max_examples=300, deadline=None)
@given(st.sampled_from(["verify_present", "verify_visible", "verify_enabled", "verify_disabled"]),
       st.sampled_from(WORDS + ["Save button"]), page)
def test_element_checks_follow_the_reference(action, target, dom):
    scoring = reference_strip(target)
    matched = sorted((e for e in dom if ref_matches(scoring, e, False)), key=lambda e: len(e.get("text") or ""))
    result = TextMatcher().resolve({"action": action, "target": target}, dom)
    assert len(result["candidates"]) == len(matched)
    assert all(a is b for a, b in zip(result["candidates"], matched))
    if matched:
        best = matched[0]
        state = {"present": True, "visible": best.get("is_visible", False), "enabled": best.get("is_enabled", False)}
        assert result["state"] == state
        if action == "verify_present":
            assert result["verified"] is True
        elif action == "verify_disabled":
            assert result["verified"] is (not state["enabled"])
        else:  # the descriptor's own value
            assert result["verified"] is state[action.removeprefix("verify_")]


@settings(max_examples=300, deadline=None)
@given(st.sampled_from(WORDS + ["", "SAVE"]), st.lists(descriptor(text_kind=True), max_size=12))
def test_text_look_ups_follow_the_reference(target, texts):
    contains = sorted((t for t in texts if target.lower() in t["text"].lower()), key=lambda t: len(t["text"]))
    found = TextMatcher().resolve({"action": "find_text", "target": target}, [], texts)
    assert all(a is b for a, b in zip(found["candidates"], contains)) and len(found["candidates"]) == len(contains)
    exact = [t for t in texts if t["text"].strip().lower() == target.lower()]
    partial = [t for t in texts if target.lower() in t["text"].lower()]
    result = TextMatcher().resolve({"action": "find_exact_text", "target": target}, [], texts)
    expected = exact + partial if exact else sorted(partial, key=lambda t: len(t["text"]))
    assert all(a is b for a, b in zip(result["candidates"], expected)) and len(result["candidates"]) == len(expected)
    assert result["element"] is (exact[0] if exact else None)
