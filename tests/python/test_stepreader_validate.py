"""StepReader.validate / validate_all: script checks reported as issue texts."""

import pytest

EMPTY = "Instruction is empty."
TYPE_INTO = "`type` instruction missing `into` keyword. Expected: type <text> into <target>"
TYPE_TEXT = "`type` instruction missing text to type. Expected: type <text> into <target>"
SELECT_FROM = "`select` instruction missing `from` keyword. Expected: select <value> from <target>"
VERIFY_STATE = (
    "`verify` instruction missing state. Expected ending: is present | is visible | is enabled | is disabled"
)
VERIFY_TEXT_STATE = "`verify text` instruction missing state. Expected ending: is present | is visible"


def unbalanced(quoted):
    return "Unbalanced quote \u2014 missing closing `\"` in: " + quoted


def unknown(quoted):
    return (
        f"Unknown action {quoted}. "
        "Expected one of: click, type, verify, hover, select, press, wait, find, extract, sendkeys."
    )


def bad_wait(quoted):
    return "`wait` value must be a number in milliseconds. Got: " + quoted


CLEAN = [
    "click Login", 'click "Log in"', "  type alice into Username  ", "select Red from colour",
    "back", "refresh", "accept the dialog", "dismiss", "press", "type", "verify", "wait", "wait   ",
    "verify Submit is enabled", "verify Submitis present", "verify dialog is open", "verify dialogue box",
    "verify text Welcome is visible", "verify text next to X is 5", "verify text below Price is 10",
    "verify text above X is y", "verify text right of X is y", "verify text left of Name is John",
    "verify text left Name is John", "verify text under Name is John", "verify text near Name is John",
    "find anything at all", "extract whatever", "sendkeys", "HOVER menu",
    "wait 500", 'wait "500"', "wait '500'", "wait \u0663", "wait \uff15\uff10\uff10", "wait 0",
    'click "a" and "b"',
]


@pytest.mark.parametrize("instruction", CLEAN)
def test_clean_lines(reader, instruction):
    assert reader.validate(instruction) == []


ISSUES = [
    ("", [EMPTY]),
    ("   ", [EMPTY]),
    ("\t\n\u3000", [EMPTY]),
    ('click "Log in', [unbalanced("'click \"Log in'")]),
    ('  click "Log in  ', [unbalanced("'click \"Log in'")]),
    ("click \"it's", [unbalanced("'click \"it\\'s'")]),
    ('bogus "a" "b', [unbalanced("'bogus \"a\" \"b'")]),
    ('type "x into', [unbalanced("'type \"x into'")]),
    ('"click" Login', [unknown("'\"click\"'")]),
    ("Navigate to home", [unknown("'navigate'")]),
    ("don't click", [unknown('"don\'t"')]),
    ("\u200bclick x", [unknown("'\\u200bclick'")]),
    ("type hello Email", [TYPE_INTO]),
    ("TYPE hello Email", [TYPE_INTO]),
    ("type alice", [TYPE_INTO]),
    ("type  into Email", [TYPE_TEXT]),
    ("type into x", [TYPE_TEXT]),
    ("type \t into Email", [TYPE_TEXT]),
    ("select Red colour", [SELECT_FROM]),
    ("select from x", [SELECT_FROM]),
    ("Select Red", [SELECT_FROM]),
    ("verify Submit is hidden", [VERIFY_STATE]),
    ("verify Submit", [VERIFY_STATE]),
    ("verify Submit is present now", [VERIFY_STATE]),
    ("verify text Welcome", [VERIFY_TEXT_STATE]),
    ("verify text Total is enabled", [VERIFY_TEXT_STATE]),
    ("verify text beside Name is John", [VERIFY_TEXT_STATE]),
    ("wait 1.5", [bad_wait("'1.5'")]),
    ("wait -5", [bad_wait("'-5'")]),
    ("wait +5", [bad_wait("'+5'")]),
    ("wait abc", [bad_wait("'abc'")]),
    ("wait 5 00", [bad_wait("'5 00'")]),
    ('wait ""', [bad_wait("''")]),
    ("wait ''", [bad_wait("''")]),
    ("wait \u00b9", [bad_wait("'\u00b9'")]),
    ("wait \u00b2", [bad_wait("'\u00b2'")]),
    ("wait \u216b", [bad_wait("'\u216b'")]),
    ('wait "it\'s"', [bad_wait('"it\'s"')]),
    ("wait 5\u200b", [bad_wait("'5\\u200b'")]),
]


@pytest.mark.parametrize("instruction, expected", ISSUES)
def test_issue_texts(reader, instruction, expected):
    assert reader.validate(instruction) == expected


def test_issue_list_is_a_fresh_list(reader):
    first = reader.validate("type hello Email")
    assert type(first) is list
    first.append("x")
    assert reader.validate("type hello Email") == [TYPE_INTO]


def test_validate_all_empty_script(reader):
    report = reader.validate_all([])
    assert type(report) is dict and report == {}


def test_validate_all_reports_only_bad_lines_by_number(reader):
    report = reader.validate_all(["click Login", "bogus step", "wait 500"])
    assert report == {2: [unknown("'bogus'")]}
    assert all(type(key) is int for key in report)


def test_validate_all_keeps_line_order(reader):
    script = ["", "click ok", "wait x", "type a", "back", "verify Submit is hidden", "   "]
    report = reader.validate_all(script)
    assert list(report) == [1, 3, 4, 6, 7]
    assert report == {
        1: [EMPTY], 3: [bad_wait("'x'")], 4: [TYPE_INTO], 6: [VERIFY_STATE], 7: [EMPTY],
    }
    assert script == ["", "click ok", "wait x", "type a", "back", "verify Submit is hidden", "   "]


def test_validation_does_not_raise_where_parse_does(reader):
    for line in ("back", "refresh", "verify text left Name is John", "accept the dialog"):
        with pytest.raises(ValueError):
            reader.parse(line)
        assert reader.validate(line) == []
