"""StepReader vocabulary tables, target helpers and argument type checks."""

import re

import pytest

from vantor.engine.agent import stepreader
from vantor.engine.agent.stepreader import StepReader, _extract_ordinal


def test_supported_actions():
    actions = StepReader.SUPPORTED_ACTIONS
    assert type(actions) is list
    assert actions == [
        "click", "type", "hover", "select", "press_key", "sendkeys", "extract_text", "extract_text_spatial",
        "find_text", "find_exact_text", "verify_present", "verify_visible", "verify_enabled", "verify_disabled",
        "verify_text_present", "verify_text_visible", "verify_spatial_text", "accept_dialog", "dismiss_dialog",
        "verify_dialog",
    ]
    assert "wait" not in actions and "press" not in actions


def test_known_actions_and_stop_words():
    assert type(StepReader._KNOWN_ACTIONS) is set
    assert StepReader._KNOWN_ACTIONS == {
        "click", "type", "hover", "select", "press", "sendkeys", "wait", "verify", "find", "extract",
        "accept", "dismiss", "back", "refresh",
    }
    assert type(StepReader._STOP_WORDS) is set
    assert StepReader._STOP_WORDS == {"the", "a", "an", "in", "at", "on", "into"}


def test_state_tables_keep_their_order():
    assert type(StepReader._VERIFY_STATES) is dict
    assert list(StepReader._VERIFY_STATES.items()) == [
        ("is present", "verify_present"), ("is visible", "verify_visible"),
        ("is enabled", "verify_enabled"), ("is disabled", "verify_disabled"),
    ]
    assert type(StepReader._VERIFY_TEXT_STATES) is dict
    assert list(StepReader._VERIFY_TEXT_STATES.items()) == [
        ("is present", "verify_text_present"), ("is visible", "verify_text_visible"),
    ]


def test_module_tables():
    assert type(stepreader._ORDINALS) is dict
    assert list(stepreader._ORDINALS.items()) == [("first", 1), ("second", 2), ("third", 3), ("fourth", 4), ("fifth", 5)]
    assert type(stepreader._SPATIAL_KW) is tuple
    assert sorted(stepreader._SPATIAL_KW) == sorted(
        ["next to ", "below ", "above ", "left of ", "right of ", "under ", "near "]
    )


def test_quote_pattern():
    pattern = stepreader._QUOTE_RE
    assert isinstance(pattern, re.Pattern)
    assert pattern.pattern == '"([^"]+)"'


def test_quote_pattern_matches_across_lines_and_skips_empty_pairs():
    assert stepreader._QUOTE_RE.findall('x "a\nb" y "c"') == ["a\nb", "c"]
    assert stepreader._QUOTE_RE.findall('x "" y') == []


def test_tables_shared_by_instances(reader):
    assert reader.SUPPORTED_ACTIONS is StepReader.SUPPORTED_ACTIONS
    assert StepReader()._STOP_WORDS is StepReader._STOP_WORDS


UNQUOTE = [
    ('click "Log in"', "click Log in", ["Log in"]),
    ('type x into "First Name"', "type x into First Name", ["First Name"]),
    ('click first button next to "Sign up"', "click first button next to Sign up", ["Sign up"]),
    ('"a" and "b"', "a and b", ["a", "b"]),
    ('"x" "x"', "x x", ["x", "x"]),
    ('click ""', 'click ""', []),
    ('click "a', 'click "a', []),
    ('"a" "b', 'a "b', ["a"]),
    ('"a"b"c"', "abc", ["a", "c"]),
    ('""a""', '"a"', ["a"]),
    ('"""', '"""', []),
    ("it's 'x'", "it's 'x'", []),
    ('"line\nbreak"', "line\nbreak", ["line\nbreak"]),
    ('  "İ \u212a"  ', "  İ \u212a  ", ["İ \u212a"]),
]


@pytest.mark.parametrize("text, unquoted, literals", UNQUOTE)
def test_unquote(reader, text, unquoted, literals):
    result = reader._unquote(text)
    assert type(result) is tuple and type(result[1]) is list
    assert result == (unquoted, literals)


@pytest.mark.parametrize("parts", [("click", " Save"), ("it's", ' "x'), ("click", ' ""')])
def test_unquote_without_phrase_returns_same_object(reader, parts):
    text = "".join(parts)
    assert reader._unquote(text)[0] is text


CLEAN = [
    ("", ""),
    ("   ", ""),
    ("the a an", ""),
    ("The Login", "Login"),
    ("Theatre seats", "Theatre seats"),
    ("into Email", "Email"),
    ("on at in the  Save   button ", "Save button"),
    ("the button in the footer", "button in the footer"),
    ("THE\tA\nLogin", "Login"),
    ("the\u3000Login\xa0Now", "Login Now"),
    ("x\x1cy", "x y"),
    ("x\u200by", "x\u200by"),
    ("\u0130n box", "\u0130n box"),
    ("\uff34\uff28\uff25 box", "\uff34\uff28\uff25 box"),
    ("of the", "of the"),
]


@pytest.mark.parametrize("target, expected", CLEAN)
def test_clean_target(reader, target, expected):
    assert reader._clean_target(target) == expected


ORDINAL = [
    ("Second  Submit  button", (2, "Submit  button")),
    ("first", (1, "")),
    ("fifth", (5, "")),
    ("FOURTH", (4, "")),
    ("first   ", (1, "")),
    ("  third\t row  ", (3, "row  ")),
    ("first\u3000x", (1, "x")),
    ("sixth row", (1, "sixth row")),
    ("2nd row", (1, "2nd row")),
    ("", (1, "")),
    ("   ", (1, "   ")),
    ("button second", (1, "button second")),
    ("firstly x", (1, "firstly x")),
    ("\ufb01rst x", (1, "\ufb01rst x")),
]


@pytest.mark.parametrize("text, expected", ORDINAL)
def test_extract_ordinal(text, expected):
    result = _extract_ordinal(text)
    assert type(result) is tuple and type(result[0]) is int
    assert result == expected


@pytest.mark.parametrize("parts", [("sixth", " row"), ("button", " second"), ("  ", " "), ("Log", " in ")])
def test_extract_ordinal_without_ordinal_returns_same_object(parts):
    text = "".join(parts)
    assert _extract_ordinal(text)[1] is text


def test_str_subclass_is_accepted(reader):
    class Text(str):
        pass

    assert reader.parse(Text("click Login"))["target"] == "Login"
    assert reader.validate_all([Text("wait x")]) == {1: ["`wait` value must be a number in milliseconds. Got: 'x'"]}


TYPE_ERRORS = [
    ("parse", (5,), "parse() argument 'instruction' must be str, not int"),
    ("parse", (None,), "parse() argument 'instruction' must be str, not None"),
    ("parse", (b"click x",), "parse() argument 'instruction' must be str, not bytes"),
    ("validate", (1.5,), "validate() argument 'instruction' must be str, not float"),
    ("validate", (None,), "validate() argument 'instruction' must be str, not None"),
    ("validate_all", (("click x",),), "validate_all() argument 'instructions' must be list, not tuple"),
    ("validate_all", ("click x",), "validate_all() argument 'instructions' must be list, not str"),
    ("validate_all", (None,), "validate_all() argument 'instructions' must be list, not None"),
    ("validate_all", (["click x", 3],), "validate() argument 'instruction' must be str, not int"),
    ("validate_all", (["click x", None],), "validate() argument 'instruction' must be str, not None"),
    ("_unquote", (["x"],), "_unquote() argument 'instruction' must be str, not list"),
    ("_unquote", (None,), "_unquote() argument 'instruction' must be str, not None"),
    ("_clean_target", (3,), "_clean_target() argument 'target' must be str, not int"),
    ("_clean_target", (None,), "_clean_target() argument 'target' must be str, not None"),
]


@pytest.mark.parametrize("method, args, message", TYPE_ERRORS)
def test_wrong_argument_types(reader, method, args, message):
    with pytest.raises(TypeError) as caught:
        getattr(reader, method)(*args)
    assert str(caught.value) == message


@pytest.mark.parametrize("arg, message", [
    (7, "_extract_ordinal() argument 'text' must be str, not int"),
    (None, "_extract_ordinal() argument 'text' must be str, not None"),
])
def test_extract_ordinal_wrong_type(arg, message):
    with pytest.raises(TypeError) as caught:
        _extract_ordinal(arg)
    assert str(caught.value) == message
