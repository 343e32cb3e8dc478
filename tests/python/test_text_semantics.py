"""The core's text operations agree with Python's own for every Unicode string."""

import sys

import pytest
from hypothesis import given
from hypothesis import strategies as st

from unicode_text import text


@given(text)
@pytest.mark.parametrize("name", ["lower", "strip", "lstrip", "rstrip", "split"])
def test_text_operation_matches_python(probe, name, s):
    assert getattr(probe, name)(s) == getattr(s, name)()


@given(text)
def test_quoted_form_is_repr(probe, s):
    assert probe.quoted(s) == repr(s)


@given(text)
def test_lowered_positions_point_at_their_source_character(probe, s):
    expected = [i for i, ch in enumerate(s) for _ in ch.lower()] + [len(s)]
    assert probe.lowered_origins(s) == expected


@pytest.mark.parametrize(
    "s",
    ["ΑΣ", "ΑΣ ", "ΑΣΑ", "Σ", " Σ", "Α.Σ", "ΑΣ.", "ΑΣ.Α", "A\u0301Σ", "1Σ", "ΑΣ\u0345", "\u02b0Σ", "AΣ\ud800"],
)
def test_final_sigma_follows_python(probe, s):
    assert probe.lower(s) == s.lower()


@pytest.mark.parametrize(
    "name, method",
    [("space", str.isspace), ("decimal", str.isdecimal), ("digit", str.isdigit), ("printable", str.isprintable)],
)
def test_character_classes_match_python_for_every_code_point(probe, name, method):
    assert probe.code_points_where(name) == [cp for cp in range(sys.maxunicode + 1) if method(chr(cp))]


plain_values = st.recursive(
    st.none() | st.booleans() | st.integers() | st.integers(min_value=2**63 - 2, max_value=2**80)
    | st.floats() | text,
    lambda children: st.lists(children, max_size=4) | st.dictionaries(text, children, max_size=4),
    max_leaves=12,
)


@given(plain_values)
def test_text_form_is_repr(probe, value):
    assert probe.text_form(value) == repr(value)


@given(plain_values)
def test_values_cross_the_boundary_unchanged(probe, value):
    rebuilt = probe.rebuild(value)
    assert repr(rebuilt) == repr(value)  # same content, kinds and key order
    assert probe.roundtrip(value) is value


def test_caller_records_come_back_as_the_same_objects(probe):
    inner = {"x": 1}
    outer = [inner, [inner]]
    back = probe.roundtrip(outer)
    assert back is outer and back[0] is inner and back[1][0] is inner


@pytest.mark.parametrize(
    "value, error", [({1: "a"}, "record keys must be str, not int"), (object(), "not object")]
)
def test_unsupported_values_are_type_errors(probe, value, error):
    with pytest.raises(TypeError, match=error):
        probe.text_form(value)
