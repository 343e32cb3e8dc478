"""GridSeeker's target grammar: the worked table, its edges, and generated targets."""

import pytest
from hypothesis import given
from hypothesis import strategies as st

from unicode_text import text
from vantor.engine.spatial import gridseeker
from vantor.engine.spatial.gridseeker import _normalize, _parse_target


def test_tables():
    assert list(gridseeker._RELATIONS.items()) == [
        ("next to", "next_to"), ("below", "below"), ("under", "below"), ("above", "above"),
        ("left of", "left"), ("right of", "right"), ("near", "near")]
    assert list(gridseeker._ORDINALS.items()) == [
        ("first", 1), ("second", 2), ("third", 3), ("fourth", 4), ("fifth", 5),
        ("1st", 1), ("2nd", 2), ("3rd", 3), ("4th", 4), ("5th", 5)]
    assert list(gridseeker._TYPE_KEYWORDS.items()) == [
        ("button", "button"), ("btn", "button"), ("link", "link"), ("anchor", "link"), ("input", "input"),
        ("field", "input"), ("textbox", "input"), ("select", "select"), ("dropdown", "select")]
    assert (gridseeker.NEAR_MAX_PIXELS, gridseeker.NEAR_MAX_DOM_STEPS, gridseeker.SPATIAL_TOLERANCE) == (300, 10, 40)


N = None
WORKED = [
    ("second button below Email", ("email", "below", "button", 2, N, N)),
    ("Save button right of the Name field", ("name field", "right", "button", N, N, "save")),
    ("third link", (N, N, "link", 3, N, N)),
    ("2nd Add to cart button", (N, N, "button", 2, "add to cart", N)),
    ("the first input", (N, N, "input", 1, N, N)),
    ("first button below", ("", "below", "button", 1, N, N)),
    ("checkbox near Remember me", ("remember me", "near", N, N, N, "checkbox")),
]

EDGES = [
    # relation phrases are plain substrings
    ("thunder button", ("button", "below", "button", N, N, "th")),
    ("nearby link", ("by link", "near", "link", N, N, N)),
    # longest phrase first; "next to" before "below"
    ("link left of x right of y", ("y", "right", "link", N, N, "left of x")),
    ("button next to a below b", ("below b", "next_to", "button", N, N, N)),
    # split at the first occurrence
    ("link below the table below the header", ("table below the header", "below", "link", N, N, N)),
    # articles: each once, in order, only before a blank
    ("x below apple", ("apple", "below", N, N, N, "x")),
    ("x below an apple", ("apple", "below", N, N, N, "x")),
    ("x below the a thing", ("thing", "below", N, N, N, "x")),
    ("x below a the thing", ("the thing", "below", N, N, N, "x")),
    ("x below an a thing", ("a thing", "below", N, N, N, "x")),
    ("x below the", ("the", "below", N, N, N, "x")),
    ("x below the  y", ("y", "below", N, N, N, "x")),
    ("x below the\ty", ("the\ty", "below", N, N, N, "x")),
    # ordinals are whole words, table order decides
    ("1st link", (N, N, "link", 1, N, N)),
    ("1st. link", (N, N, "link", N, N, N)),
    ("second first link", (N, N, "link", 1, "second", N)),
    ("2nd, link", (N, N, "link", N, N, N)),
    # type words: table order, not position
    ("save field in the button form", (N, N, "button", N, N, N)),
    ("the save button below name", ("name", "below", "button", N, N, "the save")),
    ("second save btn below", ("", "below", "button", 2, "save", "save")),
    # ordinal with empty anchor: the relation words are skipped too
    ("second foo next to", ("", "next_to", N, 2, "foo", "foo")),
    ("the 3rd an item", (N, N, N, 3, "item", N)),
    ("", (N, N, N, N, N, N)),
    ("   ", (N, N, N, N, N, N)),
    ("BUTTON Below EMAIL", ("email", "below", "button", N, N, N)),
    ("\u0130 button below \u0130STANBUL", ("i\u0307stanbul", "below", "button", N, N, "i\u0307")),
]


@pytest.mark.parametrize("target, expected", WORKED + EDGES)
def test_parse_target(target, expected):
    assert _parse_target(target) == expected


@pytest.mark.parametrize("text_in, expected", [
    ("Sign-In Now", "signinnow"), ("Sign-up Form", "signupform"), ("", ""), ("a\tb\nc-d e", "a\tb\ncde"),
    ("\u00c9T\u00c9", "\u00e9t\u00e9"), ("\u2014\u00a0", "\u2014\u00a0"),
])
def test_normalize(text_in, expected):
    assert _normalize(text_in) == expected


@given(text)
def test_normalize_is_pythons_lower_without_blanks_and_hyphens(s):
    assert _normalize(s) == s.lower().replace(" ", "").replace("-", "")


@pytest.mark.parametrize("function", [_parse_target, _normalize])
@pytest.mark.parametrize("value", [None, 1, b"x", ["x"]])
def test_text_functions_refuse_non_str(function, value):
    with pytest.raises(TypeError):
        function(value)


# -- generated targets against Python's own str operations -------------------

ARTICLES = ("the", "a", "an")
SEARCH_ORDER = ["right of", "next to", "left of", "below", "under", "above", "near"]


def reference_parse_target(target):
    s = target.lower()
    words = s.split()
    rel = next((p for p in SEARCH_ORDER if p in s), None)
    ordinal_word = next((w for w in gridseeker._ORDINALS if w in words), None)
    type_word = next((w for w in gridseeker._TYPE_KEYWORDS if w in words), None)
    anchor = target_text = search = None
    if rel:
        before, after = s.split(rel, 1)
        raw = after.strip()
        for article in ARTICLES:
            if raw.startswith(article + " "):
                raw = raw[len(article) + 1:]
        anchor = raw.strip()
        pre = [w for w in before.strip().split() if w not in (ordinal_word, type_word)]
        target_text = " ".join(pre) or None
    if ordinal_word and not anchor:
        skip = {ordinal_word, type_word} | set(rel.split() if rel else [])
        search = " ".join(w for w in words if w not in skip and w not in ARTICLES) or None
    return (anchor, gridseeker._RELATIONS.get(rel), gridseeker._TYPE_KEYWORDS.get(type_word),
            gridseeker._ORDINALS.get(ordinal_word), search, target_text)


VOCABULARY = (list(gridseeker._RELATIONS) + list(gridseeker._ORDINALS) + list(gridseeker._TYPE_KEYWORDS)
              + list(ARTICLES) + ["Email", "NAME", "save", "x", "under", "Right Of", "FIRST", "1st."])
word = st.one_of(st.sampled_from(VOCABULARY), text)
separator = st.sampled_from([" ", "  ", "\t", "\u3000", " \n "])
targets = st.lists(st.tuples(word, separator), max_size=8).map(lambda parts: "".join(w + s for w, s in parts))


@given(targets)
def test_generated_targets_parse_as_pythons_str_operations_do(target):
    assert _parse_target(target) == reference_parse_target(target)


@given(targets)
def test_generated_targets_give_members_of_the_right_types(target):
    anchor, rel, type_filter, ordinal, search, target_text = parsed = _parse_target(target)
    assert len(parsed) == 6
    assert anchor is None or isinstance(anchor, str)
    assert rel in (None, *gridseeker._RELATIONS.values())
    assert type_filter in (None, *gridseeker._TYPE_KEYWORDS.values())
    assert ordinal is None or type(ordinal) is int and 1 <= ordinal <= 5
    assert search is None or (isinstance(search, str) and search)
    assert target_text is None or (isinstance(target_text, str) and target_text)
    assert (anchor is None) == (rel is None)
    if rel is not None:
        phrase = next(p for p in SEARCH_ORDER if gridseeker._RELATIONS[p] == rel and p in target.lower())
        # the anchor comes from after the first occurrence of the phrase
        assert phrase not in target.lower().split(phrase, 1)[0]
        assert anchor in target.lower().split(phrase, 1)[1]
    if search is not None:
        assert ordinal is not None and not anchor
