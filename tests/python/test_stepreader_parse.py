"""StepReader.parse: free-text step -> parsed instruction record."""

import pytest

from vantor.engine.agent.stepreader import StepReader

ORDINAL_KEYS = ["action", "target", "value", "ordinal", "_literal_target"]
PLAIN_KEYS = ["action", "target", "value", "_literal_target"]


def rec(action, target, value=None, literal=False, ordinal=None):
    record = {"action": action, "target": target, "value": value}
    if ordinal is not None:
        record["ordinal"] = ordinal
    record["_literal_target"] = literal
    return record


PARSED = [
    # type / select: value before the first separator, target after it
    ('type standard_user into "Username"', rec("type", "Username", "standard_user", True)),
    ("type  hello  into Email", rec("type", "Email", " hello ")),
    ("type x into the Email field", rec("type", "Email field", "x")),
    ('type x into "the"', rec("type", "the", "x", True)),
    ('type x into " Email "', rec("type", "Email", "x")),
    ("type into into x", rec("type", "x", "into")),
    ("TYPE Alice INTO Name", rec("type", "Name", "Alice")),
    # a separator inside a quoted phrase does not split
    ('type "a into b" into Field', rec("type", "Field", "a into b")),
    ('type "x" into "a into b"', rec("type", "a into b", "x", True)),
    ('type "a into b"', rec("type", "b", "a")),
    ("select Red from colour", rec("select", "colour", "Red")),
    ('select "Dark Red" from the "Colour"', rec("select", "Colour", "Dark Red", True)),
    ('select "Red from Blue" from Colour', rec("select", "Colour", "Red from Blue")),
    # find
    ("find exact text  Hello  World", rec("find_exact_text", " Hello  World")),
    ("find exact text the second row", rec("find_exact_text", "the second row")),
    ('find exact text "Hi"', rec("find_exact_text", "Hi", literal=True)),
    ("find text the Welcome", rec("find_text", "Welcome")),
    ('find text "the"', rec("find_text", "the", literal=True)),
    # extract
    ("extract text from the title", rec("extract_text", "title", ordinal=1)),
    ("EXTRACT_TEXT from second row", rec("extract_text", "row", ordinal=2)),
    ("extract_text below Name", rec("extract_text_spatial", "below Name")),
    ("extract text Below  Name", rec("extract_text_spatial", "Below  Name")),
    ('extract text next to "Price"', rec("extract_text_spatial", "next to Price")),
    # the spatial test runs before "from " is dropped
    ("extract text from below X", rec("extract_text", "below X", ordinal=1)),
    ('extract text "Total"', rec("extract_text", "Total", literal=True, ordinal=1)),
    ('extract text from "Second Row"', rec("extract_text", "Second Row", literal=True, ordinal=1)),
    ('extract text "third"', rec("extract_text", "third", literal=True, ordinal=1)),
    # click
    ('click "Log in"', rec("click", "Log in", literal=True, ordinal=1)),
    ("CLICK Submit", rec("click", "Submit", ordinal=1)),
    ("click second Submit button", rec("click", "Submit button", ordinal=2)),
    ("click Fifth  the  row", rec("click", "row", ordinal=5)),
    ("click the second button", rec("click", "second button", ordinal=1)),
    ("click sixth row", rec("click", "sixth row", ordinal=1)),
    ("click the Submit", rec("click", "Submit", ordinal=1)),
    ('click "the"', rec("click", "the", literal=True, ordinal=1)),
    ("click the", rec("click", "", ordinal=1)),
    ('click first button next to "Sign up"', rec("click", "button next to Sign up", ordinal=1)),
    ('click " Log in "', rec("click", " Log in ", literal=True, ordinal=1)),
    # a whole quoted target is literal and keeps its ordinal word
    ('click "first"', rec("click", "first", literal=True, ordinal=1)),
    ('click "second Save"', rec("click", "second Save", literal=True, ordinal=1)),
    ('click first "first"', rec("click", "first", literal=True, ordinal=1)),
    ('click second "Save"', rec("click", "Save", literal=True, ordinal=2)),
    ('click ""', rec("click", '""', ordinal=1)),
    ('click "Log in', rec("click", '"Log in', ordinal=1)),
    # hover takes no ordinal
    ("hover second Menu", rec("hover", "second Menu")),
    ('hover "the"', rec("hover", "the", literal=True)),
    # keys, dialogs, waits
    ("press Enter", rec("press_key", "Enter")),
    ("press   Control+A  ", rec("press_key", "Control+A")),
    ('press "Enter"', rec("press_key", "Enter")),
    ("accept dialog", rec("accept_dialog", None)),
    ("  Accept Dialog ", rec("accept_dialog", None)),
    ("DISMISS DIALOG", rec("dismiss_dialog", None)),
    ("verify dialog says Are you sure?", rec("verify_dialog", None, "Are you sure?")),
    ("verify dialog says  Saved", rec("verify_dialog", None, " Saved")),
    ('verify dialog says "Done"', rec("verify_dialog", None, "Done")),
    ('sendkeys "Control+A"', rec("sendkeys", "Control+A", "Control+A")),
    ('sendkeys ""Enter""', rec("sendkeys", "Enter", "Enter")),
    ("sendkeys ' x '", rec("sendkeys", " x ", " x ")),
    # double quotes are stripped before single quotes
    ("sendkeys '\"x", rec("sendkeys", '"x', '"x')),
    ("wait 500", rec("wait", "500")),
    ('wait "500"', rec("wait", "500")),
    ("wait '250'", rec("wait", "250")),
    ("wait abc", rec("wait", "abc")),
    # verify text: spatial first, then the text states, then the plain states
    ("verify text below Price is 10 is 20", rec("verify_spatial_text", "below Price is 10", "20")),
    ("verify text near Total is present", rec("verify_spatial_text", "near Total", "present")),
    ("verify text under Name is John", rec("verify_spatial_text", "under Name", "John")),
    ('verify text next to "Potential Returns" is $29.00',
     rec("verify_spatial_text", "next to Potential Returns", "$29.00")),
    ("verify text the title is present", rec("verify_text_present", "the title")),
    ('verify text "Welcome back" is visible', rec("verify_text_visible", "Welcome back", literal=True)),
    ("verify text is present", rec("verify_text_present", "")),
    ("verify text Total is enabled", rec("verify_enabled", "text Total")),
    ('verify "Products" is present', rec("verify_present", "Products", literal=True)),
    ("verify the title is present", rec("verify_present", "title")),
    ('verify "the title" is visible', rec("verify_visible", "the title", literal=True)),
    ("verify Submitis disabled", rec("verify_disabled", "Submit")),
    ("Verify Save  IS ENABLED", rec("verify_enabled", "Save")),
    # lower-casing that changes length never shifts the extracted texts
    ("type İİ x into Field", rec("type", "Field", "İİ x")),
    ("type x into İİ Field", rec("type", "İİ Field", "x")),
    ("select İ from İİ", rec("select", "İİ", "İ")),
    ("clic\u212a Submit", rec("click", "Submit", ordinal=1)),
    ("click İstanbul", rec("click", "İstanbul", ordinal=1)),
    ("hover \u212aelvin", rec("hover", "\u212aelvin")),
    ("verify İzmir İİ is present", rec("verify_present", "İzmir İİ")),
    ("verify text İİ is visible", rec("verify_text_visible", "İİ")),
    ("verify text below İİ is 5", rec("verify_spatial_text", "below İİ", "5")),
    ("extract text İİ from x", rec("extract_text", "İİ from x", ordinal=1)),
    ("find exact text İİ  x", rec("find_exact_text", "İİ  x")),
    ("verify dialog says İİ", rec("verify_dialog", None, "İİ")),
]


@pytest.mark.parametrize("instruction, expected", PARSED)
def test_parse_builds_record(reader, instruction, expected):
    record = reader.parse(instruction)
    assert type(record) is dict
    assert record == expected
    assert list(record) == list(expected)
    assert type(record["_literal_target"]) is bool
    if "ordinal" in record:
        assert type(record["ordinal"]) is int


@pytest.mark.parametrize("instruction, keys", [
    ("click Login", ORDINAL_KEYS),
    ("extract text title", ORDINAL_KEYS),
    ("hover Menu", PLAIN_KEYS),
    ("type a into b", PLAIN_KEYS),
    ("extract text near b", PLAIN_KEYS),
    ("wait 5", PLAIN_KEYS),
    ("accept dialog", PLAIN_KEYS),
])
def test_key_order(reader, instruction, keys):
    assert list(reader.parse(instruction)) == keys


REJECTED = [
    "", "   ", "back", "refresh", "  back ", "press", "wait", "wait   ", "verify dialog",
    "accept the dialog", "verify Submit is hidden", "verify text left Name is John",
    "find text", "type into x", "select from x", "type hello Email", "navigate\tto home",
    "it's", "say \"hi\" it's", "\u200bclick x", "go\u2028now", "x\x00y\xa0z", "é \U0001F600 \U000E0001",
]


@pytest.mark.parametrize("instruction", REJECTED)
def test_rejection_message_quotes_untrimmed_instruction(reader, instruction):
    with pytest.raises(ValueError) as caught:
        reader.parse(instruction)
    assert str(caught.value) == (
        f"Unrecognised instruction: {instruction!r}. Supported actions: {StepReader.SUPPORTED_ACTIONS!r}"
    )


@pytest.mark.parametrize("instruction, quoted", [
    ("  back ", "'  back '"),
    ("it's", '"it\'s"'),
    ("say \"hi\" it's", "'say \"hi\" it\\'s'"),
    ("a\tb\\c", "'a\\tb\\\\c'"),
    ("\u200bgo\xa0x\U000E0001", "'\\u200bgo\\xa0x\\U000e0001'"),
])
def test_rejection_message_quoted_forms(reader, instruction, quoted):
    with pytest.raises(ValueError) as caught:
        reader.parse(instruction)
    assert str(caught.value) == (
        f"Unrecognised instruction: {quoted}. Supported actions: ['click', 'type', 'hover', 'select', "
        "'press_key', 'sendkeys', 'extract_text', 'extract_text_spatial', 'find_text', 'find_exact_text', "
        "'verify_present', 'verify_visible', 'verify_enabled', 'verify_disabled', 'verify_text_present', "
        "'verify_text_visible', 'verify_spatial_text', 'accept_dialog', 'dismiss_dialog', 'verify_dialog']"
    )


def test_records_are_fresh_and_owned_by_caller(reader):
    first = reader.parse("click Login")
    first["target"] = "changed"
    first["extra"] = 1
    assert reader.parse("click Login") == rec("click", "Login", ordinal=1)
    assert StepReader().parse("click Login") is not reader.parse("click Login")


def test_untrimmed_text_gives_same_record(reader):
    assert reader.parse("\t click  Login \n") == reader.parse("click  Login")
