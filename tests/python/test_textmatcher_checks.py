"""State checks of elements and texts, and the find / find-exact text look-ups."""

import pytest

from textmatcher_pages import CHECK_KEYS, ELEMENT_KEYS, element, instruction, same, text_element
from vantor.engine.strategies.textmatcher import TextMatcher


@pytest.fixture(scope="module")
def matcher():
    return TextMatcher()


def check(matcher, action, target, dom=(), texts=None):
    return matcher.resolve(instruction(action, target), list(dom), texts)


@pytest.mark.parametrize("action, visible, enabled, verified", [
    ("verify_present", False, False, True),
    ("verify_visible", True, False, True),
    ("verify_visible", False, True, False),
    ("verify_enabled", True, True, True),
    ("verify_enabled", True, False, False),
    ("verify_disabled", True, False, True),
    ("verify_disabled", True, True, False),
])
def test_element_checks(matcher, action, visible, enabled, verified):
    button = element("Save", visible=visible, enabled=enabled)
    result = check(matcher, action, "Save", [button])
    assert list(result) == CHECK_KEYS
    assert result["resolved"] is True and result["verified"] is verified and result["confidence"] == 1.0
    assert result["element"] is button and same(result["candidates"], [button])
    assert list(result["state"].items()) == [("present", True), ("visible", visible), ("enabled", enabled)]


def test_verified_carries_the_descriptors_own_value(matcher):
    flag = object()  # any value: the state and the answer hold the descriptor's own
    button = element("Save", visible=flag, enabled=0)
    result = check(matcher, "verify_visible", "Save", [button])
    assert result["verified"] is flag and result["state"]["visible"] is flag
    assert check(matcher, "verify_enabled", "Save", [button])["verified"] == 0
    assert check(matcher, "verify_disabled", "Save", [button])["verified"] is True


def test_missing_flags_read_as_false(matcher):
    bare = {"text": "Save"}
    result = check(matcher, "verify_disabled", "Save", [bare])
    assert result["verified"] is True
    assert result["state"] == {"present": True, "visible": False, "enabled": False}


@pytest.mark.parametrize("action", ["verify_present", "verify_visible", "verify_enabled", "verify_disabled"])
def test_absence_is_never_verified(matcher, action):
    result = check(matcher, action, "Missing", [element("Save")])
    assert result == {"resolved": False, "verified": False, "confidence": 0.0, "element": None, "state": {},
                      "candidates": []}
    assert list(result) == CHECK_KEYS


def test_best_match_has_the_least_extra_text(matcher):
    longer, exact, hidden = element("Save changes"), element("Save", enabled=False), element("Saved", visible=False)
    result = check(matcher, "verify_enabled", "Save button", [longer, hidden, exact])
    assert result["element"] is exact and same(result["candidates"], [exact, hidden, longer])
    assert result["verified"] is False


def test_element_checks_ignore_labels_and_the_action_filter(matcher):
    field = element("", tag="input", attributes={"_label": "Email"})
    assert not check(matcher, "verify_enabled", "Email field", [field])["resolved"]
    labelled = element("", tag="input", attributes={"aria-label": "Email"})
    assert check(matcher, "verify_enabled", "Email field", [labelled])["element"] is labelled


@pytest.mark.parametrize("action, verified", [("verify_text_present", True), ("verify_text_visible", False)])
def test_text_checks(matcher, action, verified):
    note = text_element("Saved!", visible=False)
    result = check(matcher, action, "saved", [], [text_element("Unsaved changes"), note])
    assert list(result) == CHECK_KEYS
    assert result["element"] is note and result["verified"] is verified
    assert list(result["state"].items()) == [("present", True), ("visible", False)]


def test_text_checks_search_the_target_verbatim(matcher):
    email = text_element("Email")
    assert not check(matcher, "verify_text_present", "Email field", [], [email])["resolved"]
    assert not check(matcher, "verify_text_present", "Email ", [], [email])["resolved"]
    assert check(matcher, "verify_text_present", "EMAIL", [], [email])["resolved"]


def test_text_check_not_found(matcher):
    for texts in (None, [], [text_element("Other")]):
        result = check(matcher, "verify_text_visible", "Saved", [], texts)
        assert result == {"resolved": False, "verified": False, "confidence": 0.0, "element": None, "state": {},
                          "candidates": []}


def test_check_resolvers_refuse_other_actions(matcher):
    with pytest.raises(KeyError) as raised:
        matcher._resolve_verify("verify_text_present", "a", [element("a")])
    assert raised.value.args == ("verify_text_present",)
    with pytest.raises(KeyError):
        matcher._resolve_verify_text("verify_enabled", "a", [text_element("a")])


def test_find_text(matcher):
    long_, short = text_element("Welcome back, Alice"), text_element("Alice")
    result = check(matcher, "find_text", "alice", [], [long_, short])
    assert list(result) == ELEMENT_KEYS
    assert result["element"] is short and same(result["candidates"], [short, long_])
    assert check(matcher, "find_text", "bob", [], [long_]) == {"resolved": False, "confidence": 0.0,
                                                              "element": None, "candidates": []}


def test_find_text_without_text_elements(matcher):
    assert not check(matcher, "find_text", "a", [element("a")], None)["resolved"]


def test_find_exact_text(matcher):
    sign_in, longer = text_element("Sign in"), text_element("Sign in to continue")
    result = check(matcher, "find_exact_text", "sign in", [], [longer, sign_in])
    assert list(result) == ELEMENT_KEYS
    assert result["element"] is sign_in
    assert same(result["candidates"], [sign_in, longer, sign_in])  # exact first, then every contains match


def test_find_exact_text_takes_the_first_exact_match_in_page_order(matcher):
    padded, plain = text_element("  Sign in \n"), text_element("sign in")
    result = check(matcher, "find_exact_text", "Sign in", [], [padded, plain])
    assert result["element"] is padded and same(result["candidates"], [padded, plain, padded, plain])


def test_find_exact_text_reports_near_misses(matcher):
    longest, near = text_element("Sign in to continue now"), text_element("Sign in to continue")
    result = check(matcher, "find_exact_text", "Sign in", [], [longest, near])
    assert result["resolved"] is False and result["element"] is None
    assert same(result["candidates"], [near, longest])
    assert not check(matcher, "find_exact_text", "sign in ", [], [text_element("Sign in")])["resolved"]


def test_text_look_ups_read_a_missing_text_as_empty_and_refuse_other_kinds(matcher):
    assert check(matcher, "find_text", "", [], [{"tag": "span"}])["resolved"]
    with pytest.raises(TypeError) as raised:
        check(matcher, "find_exact_text", "a", [], [text_element("a"), {"text": None}])
    assert str(raised.value) == "text_elements[1]['text'] must be str, not None"


@pytest.mark.parametrize("call, message", [
    (lambda m: m._resolve_find_text(None, []), "_resolve_find_text() argument 'target' must be str, not None"),
    (lambda m: m._resolve_find_exact_text("a", None),
     "_resolve_find_exact_text() argument 'text_elements' must be list, not None"),
    (lambda m: m._resolve_verify(1, "a", []), "_resolve_verify() argument 'action' must be str, not int"),
    (lambda m: m._resolve_verify_text("verify_text_present", "a", {}),
     "_resolve_verify_text() argument 'text_elements' must be list, not dict"),
])
def test_resolver_argument_types(matcher, call, message):
    with pytest.raises(TypeError) as raised:
        call(matcher)
    assert str(raised.value) == message
