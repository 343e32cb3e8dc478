"""Match surfaces and type-word stripping, against Python's own string semantics."""

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from textmatcher_pages import element
from unicode_text import text
from vantor.engine.strategies import textmatcher
from vantor.engine.strategies.textmatcher import (
    _MATCH_ATTRIBUTES, _TYPE_DESCRIPTORS, _exact_matches_element, _matches_element, _searchable_strings,
    _strip_type_descriptors)

TYPE_WORDS = {"input", "field", "button", "btn", "box", "link", "dropdown", "select", "checkbox", "radio", "textarea",
              "textbox", "area", "icon", "control", "widget", "form", "element"}


def reference_strip(target):
    words = target.split()
    while words and words[-1].lower() in TYPE_WORDS:
        words.pop()
    while words and words[0].lower() in TYPE_WORDS:
        words.pop(0)
    return " ".join(words) if words else target


def kept(word, longer_than):
    return len(word) > longer_than and not any(c.isdecimal() for c in word)


def reference_surfaces(el, include_label=False):
    """The surfaces as the rules describe them, with str methods."""
    out = []
    if el.get("text"):
        out.append(el["text"])
    attrs = el.get("attributes") or {}
    for attr in ["aria-label", "_label", "placeholder", "data-testid", "type", "alt"]:
        if attr == "_label" and not include_label:
            continue
        if attrs.get(attr):
            out.append(attrs[attr])
    cls = attrs.get("class") or ""
    tokens = [t.replace("_", " ").replace("-", " ") for t in cls.split() if kept(t, 3)]
    if tokens:
        out.append(" ".join(tokens))
    id_val = attrs.get("id") or ""
    words = [w for w in id_val.replace("_", " ").replace("-", " ").split() if kept(w, 3)]
    if words:
        out.append(" ".join(words))
    for name in attrs:
        if name.startswith("data-") and name != "data-testid":
            words = [w for w in name[5:].replace("-", " ").replace("_", " ").split() if kept(w, 1)]
            if words:
                out.append(" ".join(words))
    return out


def test_tables():
    assert type(_TYPE_DESCRIPTORS) is frozenset and _TYPE_DESCRIPTORS == TYPE_WORDS
    assert type(_MATCH_ATTRIBUTES) is list
    assert _MATCH_ATTRIBUTES == ["aria-label", "_label", "placeholder", "data-testid", "type", "alt"]


@pytest.mark.parametrize("target, stripped", [
    ("search input", "search"), ("login button", "login"), ("username field", "username"),
    ("the Submit btn", "the Submit"), ("input button", "input button"), ("button", "button"),
    ("Login  Button", "Login"), ("  a   b  ", "a b"), ("Email Field", "Email"), ("BUTTON Save", "Save"),
    ("", ""), ("   ", "   "), ("link to cart link", "to cart"),
])
def test_strip_type_descriptors(target, stripped):
    assert _strip_type_descriptors(target) == stripped


@settings(max_examples=300)
@given(st.lists(st.one_of(text, st.sampled_from(sorted(TYPE_WORDS) + ["BUTTON", "Field", "İnput"])), max_size=6)
       .map(" ".join))
def test_strip_type_descriptors_follows_python(target):
    assert _strip_type_descriptors(target) == reference_strip(target)


@pytest.mark.parametrize("el, surfaces", [
    (element("", attributes={"class": "nav_menu_toggle"}), ["nav menu toggle"]),
    (element("", attributes={"class": "btn shopping_cart_link css-1x9a"}), ["shopping cart link"]),
    (element("", attributes={"class": "add_to_cart"}), ["add to cart"]),
    (element("", attributes={"id": "add_to_cart"}), ["cart"]),
    (element("", attributes={"id": "login-btn-2"}), ["login"]),
    (element("", attributes={"data-cart-link": "1", "data-v-7f3a": "", "data-testid": "go"}), ["go", "cart link"]),
    (element(" Go ", attributes={"type": "submit", "aria-label": "Go now", "alt": "", "placeholder": "p"}),
     [" Go ", "Go now", "p", "submit"]),
    (element("", attributes={"class": "btn nav col2 ab_cd"}), ["ab cd"]),
    ({}, []),
    ({"text": None, "attributes": None}, []),
])
def test_searchable_strings(el, surfaces):
    assert _searchable_strings(el) == surfaces


def test_label_is_a_surface_only_when_asked():
    el = element("", tag="input", attributes={"_label": "Username", "type": "text"})
    assert _searchable_strings(el) == ["text"]
    assert _searchable_strings(el, include_label=True) == ["Username", "text"]
    assert not _matches_element("username", el)
    assert _matches_element("username", el, include_label=True)
    assert _exact_matches_element("USERNAME", el, include_label=True)


def test_own_values_are_the_callers_strings():
    label = "".join(["Sub", "mit"])
    el = element(label, attributes={"aria-label": "x" * 3})
    surfaces = _searchable_strings(el)
    assert surfaces[0] is label and surfaces[1] is el["attributes"]["aria-label"]


@pytest.mark.parametrize("target, el, contains, exact", [
    ("password", element("", tag="input", attributes={"type": "password"}), True, True),
    ("Login", element("Login"), True, True),
    ("log", element("Login"), True, False),
    ("login ", element("Login "), True, False),  # the target is not trimmed, the surface is
    ("login", element("  LOGIN\n"), True, True),
    ("", element("Anything"), True, False),
    ("", element(""), False, False),  # no surface at all
    ("cart link", element("", attributes={"data-cart-link": "x"}), True, True),
    ("testid", element("", attributes={"data-testid": "save"}), False, False),
    ("straße", element("STRASSE"), False, False),
    ("strasse", element("STRASSE"), True, True),
    ("k", element("\u212a"), True, True),  # KELVIN SIGN lowers to k
    ("i\u0307", element("\u0130"), True, True),  # İ lowers to two characters
    ("ς", element("ΟΔΟΣ"), True, False),  # a final capital sigma lowers to ς
    ("σ", element("ΣΑ"), True, False),
])
def test_contains_and_exact(target, el, contains, exact):
    assert _matches_element(target, el) is contains
    assert _exact_matches_element(target, el) is exact


@settings(max_examples=400)
@given(target=text, words=st.lists(text, max_size=4), cls=text, ident=text,
       data_names=st.lists(text.map(lambda s: "data-" + s), max_size=3), label=st.booleans())
def test_surfaces_and_matches_follow_python(target, words, cls, ident, data_names, label):
    attrs = {"aria-label": " ".join(words), "_label": target[::-1], "class": cls, "id": ident}
    attrs.update({name: "v" for name in data_names})
    el = {"text": "".join(words), "attributes": attrs}
    surfaces = reference_surfaces(el, label)
    assert _searchable_strings(el, include_label=label) == surfaces
    assert _matches_element(target, el, include_label=label) == any(target.lower() in s.lower() for s in surfaces)
    assert _exact_matches_element(target, el, include_label=label) == any(
        s.lower().strip() == target.lower() for s in surfaces)


@pytest.mark.parametrize("value", [5, 1.5, ["x"], {"a": 1}, True])
def test_values_that_are_not_text_are_no_surface(value):
    el = {"text": value, "attributes": {"aria-label": value, "class": value, "id": value, "type": "t"}}
    assert _searchable_strings(el) == ["t"]
    assert not _matches_element("5", el)


@pytest.mark.parametrize("call, message", [
    (lambda: _strip_type_descriptors(None), "_strip_type_descriptors() argument 'target' must be str, not None"),
    (lambda: _searchable_strings([]), "_searchable_strings() argument 'element' must be dict, not list"),
    (lambda: _matches_element(1, {}), "_matches_element() argument 'target' must be str, not int"),
    (lambda: _matches_element("a", "b"), "_matches_element() argument 'element' must be dict, not str"),
    (lambda: _exact_matches_element(b"a", {}), "_exact_matches_element() argument 'target' must be str, not bytes"),
    (lambda: _exact_matches_element("a", None), "_exact_matches_element() argument 'element' must be dict, not None"),
])
def test_wrong_types_name_the_argument(call, message):
    with pytest.raises(TypeError) as raised:
        call()
    assert str(raised.value) == message


def test_module_exposes_every_function():
    for name in ["_strip_type_descriptors", "_searchable_strings", "_matches_element", "_exact_matches_element",
                 "_filter_by_action", "_dom_distance", "_norm"]:
        assert callable(getattr(textmatcher, name))
