"""Reporter.log_success / log_failure / log_verification: outcome records and console lines."""

import contextlib
import io
import re
import sys
from datetime import datetime

import pytest
from hypothesis import given
from hypothesis import strategies as st

from reporter_support import printed
from unicode_text import text
from vantor.engine.agent.reporter import Reporter

# What a state record may hold: plain values, nested.
state_values = st.recursive(
    st.none() | st.booleans() | st.integers() | st.integers(min_value=2**63 - 2, max_value=2**80) | st.floats() | text,
    lambda children: st.lists(children, max_size=4) | st.dictionaries(text, children, max_size=4),
    max_leaves=12,
)


ELEMENT = {
    "tag": "button",
    "text": "Sign in to your account",
    "attributes": {"id": "login", "_label": "Account"},
    "xpath": "/html[1]/body[1]/form[1]/button[2]",
    "is_visible": True,
}


# --- the reporter itself ----------------------------------------------------


def test_new_reporter_has_no_records_and_its_start_time():
    before = datetime.now().replace(microsecond=0)
    reporter = Reporter()
    after = datetime.now()
    assert reporter.results == [] and type(reporter.results) is list
    assert re.fullmatch(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d", reporter._started_at)
    assert before <= datetime.strptime(reporter._started_at, "%Y-%m-%d %H:%M:%S") <= after


def test_results_is_one_list_that_every_call_extends():
    reporter = Reporter()
    results = reporter.results
    printed(reporter.log_success, "click A", "DOM", {})
    printed(reporter.log_failure, "click B", {})
    printed(reporter.log_verification, "verify C is present", True, None)
    assert reporter.results is results
    assert [r["instruction"] for r in results] == ["click A", "click B", "verify C is present"]


def test_results_and_start_time_can_be_replaced_only_by_their_own_kinds():
    reporter = Reporter()
    mine = [{"status": "PASS", "instruction": "x"}]
    reporter.results = mine
    reporter._started_at = "2024-05-01 09:03:07"
    assert reporter.results is mine and reporter._started_at == "2024-05-01 09:03:07"
    with pytest.raises(TypeError, match=r"^Reporter\.results must be list, not tuple$"):
        reporter.results = ()
    with pytest.raises(TypeError, match=r"^Reporter\._started_at must be str, not int$"):
        reporter._started_at = 5
    assert reporter.results is mine


# --- log_success ------------------------------------------------------------


def test_success_record_keys_values_and_line():
    reporter = Reporter()
    out = printed(reporter.log_success, "click Sign in", "DOM-text", ELEMENT)
    assert out == "  [PASS] click Sign in  (via DOM-text)\n"
    record = reporter.results[0]
    assert list(record.items()) == [
        ("status", "PASS"),
        ("instruction", "click Sign in"),
        ("strategy", "DOM-text"),
        ("element_tag", "button"),
        ("element_text", "Sign in to your account"),
        ("element_label", "Account"),
        ("locator", "/html[1]/body[1]/form[1]/button[2]"),
    ]


def test_success_record_holds_nothing_of_the_element():
    reporter = Reporter()
    element = {"tag": "a", "text": "Home", "attributes": {"_label": "Nav"}, "xpath": "/a[1]"}
    printed(reporter.log_success, "click Home", "DOM", element)
    element["text"] = "changed"
    element["attributes"]["_label"] = "changed"
    record = reporter.results[0]
    assert record["element_text"] == "Home" and record["element_label"] == "Nav"
    assert all(type(v) is str for v in record.values())


@pytest.mark.parametrize(
    "element",
    [{}, {"is_visible": True}, {"tag": None, "attributes": None, "xpath": None}],
    ids=["empty", "no-keys-read", "null-tag-attributes-xpath"],
)
def test_success_with_an_element_lacking_everything_stores_empty_strings(element):
    reporter = Reporter()
    assert printed(reporter.log_success, "click X", "DOM", element) == "  [PASS] click X  (via DOM)\n"
    record = reporter.results[0]
    assert [record[k] for k in ("element_tag", "element_text", "element_label", "locator")] == ["", "", "", ""]


def test_success_label_defaults_when_attributes_lack_it():
    reporter = Reporter()
    printed(reporter.log_success, "click X", "DOM", {"tag": "a", "attributes": {"id": "x"}})
    assert reporter.results[0]["element_label"] == ""


@given(text)
def test_element_text_is_cut_to_its_first_40_characters(s):
    reporter = Reporter()
    printed(reporter.log_success, "click X", "DOM", {"text": s})
    assert reporter.results[0]["element_text"] == s[:40]


def test_an_element_text_of_100_characters_keeps_40():
    reporter = Reporter()
    printed(reporter.log_success, "click X", "DOM", {"text": "\U0001f600" * 50 + "x" * 50})
    assert reporter.results[0]["element_text"] == "\U0001f600" * 40


@given(text, text)
def test_success_line_carries_any_text_unchanged(instruction, strategy):
    reporter = Reporter()
    assert printed(reporter.log_success, instruction, strategy, {}) == f"  [PASS] {instruction}  (via {strategy})\n"


# --- log_failure ------------------------------------------------------------


def test_failure_with_only_an_empty_dom_result():
    reporter = Reporter()
    assert printed(reporter.log_failure, "click Ghost", {}) == "  [FAIL] click Ghost\n"
    assert list(reporter.results[0].items()) == [
        ("status", "FAIL"),
        ("instruction", "click Ghost"),
        ("strategy", "none"),
        ("reasons", ""),
        ("top_candidate", ""),
    ]


def test_failure_reasons_from_each_strategy_in_order():
    reporter = Reporter()
    out = printed(
        reporter.log_failure,
        "click Go",
        {"resolved": False, "confidence": 0.4, "element": None, "candidates": []},
        {"resolved": False, "confidence": 0.666, "element": None, "candidates": []},
        florence_result={"confidence": 1},
    )
    reasons = "DOM confidence=0.40 | Spatial confidence=0.67 | Florence confidence=1.00"
    assert reporter.results[0]["reasons"] == reasons
    assert out == f"  [FAIL] click Go\n         reasons : {reasons}\n"


def test_failure_confidence_defaults_to_zero_and_empty_results_are_skipped():
    reporter = Reporter()
    printed(reporter.log_failure, "click Go", {"candidates": []}, {}, florence_result={"resolved": False})
    assert reporter.results[0]["reasons"] == "DOM confidence=0.00 | Florence confidence=0.00"


def test_closest_names_the_first_result_that_has_candidates():
    reporter = Reporter()
    spatial = {"confidence": 0.0, "candidates": [{"tag": "button", "text": "Sign up"}, {"tag": "a", "text": "x"}]}
    out = printed(reporter.log_failure, "click Join", {"confidence": 0.0, "candidates": []}, spatial)
    assert reporter.results[0]["top_candidate"] == "<button> text='Sign up'"
    assert out.splitlines()[-1] == "         closest : <button> text='Sign up'"


def test_closest_takes_the_dom_result_first_and_skips_what_is_not_a_list():
    reporter = Reporter()
    printed(
        reporter.log_failure,
        "click Join",
        {"candidates": ({"tag": "i", "text": "tuple"},)},
        {"candidates": [{"text": "no tag"}]},
        {"candidates": [{"tag": "b", "text": "later"}]},
    )
    assert reporter.results[0]["top_candidate"] == "<> text='no tag'"


@given(text)
def test_candidate_text_is_cut_to_30_characters_then_quoted(s):
    reporter = Reporter()
    printed(reporter.log_failure, "click X", {"candidates": [{"tag": "td", "text": s}]})
    assert reporter.results[0]["top_candidate"] == f"<td> text={s[:30]!r}"


@pytest.mark.parametrize(
    "candidate_text, shown",
    [("it's", '"it\'s"'), ("say \"hi\" it's", "'say \"hi\" it\\'s'"), ("tab\there", "'tab\\there'"), ("", "''")],
)
def test_candidate_quoting(candidate_text, shown):
    reporter = Reporter()
    printed(reporter.log_failure, "click X", {"candidates": [{"tag": "p", "text": candidate_text}]})
    assert reporter.results[0]["top_candidate"] == "<p> text=" + shown


def test_failure_record_holds_nothing_of_the_results():
    reporter = Reporter()
    candidate = {"tag": "a", "text": "Sign up"}
    printed(reporter.log_failure, "click X", {"confidence": 0.5, "candidates": [candidate]})
    record = reporter.results[0]
    assert all(type(v) is str for v in record.values())
    assert candidate not in record.values()


# --- two-decimal confidences --------------------------------------------------

@pytest.mark.parametrize(
    "confidence, shown",
    [(0, "0.00"), (0.5, "0.50"), (0.876, "0.88"), (0.125, "0.12"), (0.375, "0.38"), (2.675, "2.67"),
     (1.005, "1.00"), (-0.0, "-0.00"), (-0.001, "-0.00"), (True, "1.00"), (7, "7.00"), (10**20, "100000000000000000000.00"),
     (1e300, f"{1e300:.2f}"), (float("nan"), "nan"), (float("-nan"), "nan"), (float("inf"), "inf"),
     (float("-inf"), "-inf")],
)
def test_two_decimal_edge_cases(confidence, shown):
    assert f"{confidence:.2f}" == shown  # the host agrees
    reporter = Reporter()
    printed(reporter.log_failure, "x", {"confidence": confidence})
    assert reporter.results[0]["reasons"] == f"DOM confidence={shown}"


@given(st.floats() | st.integers(min_value=-(10**300), max_value=10**300))
def test_two_decimals_round_like_format(confidence):
    reporter = Reporter()
    printed(reporter.log_failure, "x", {"confidence": confidence})
    assert reporter.results[0]["reasons"] == f"DOM confidence={confidence:.2f}"


@given(st.integers(min_value=0, max_value=10**6))
def test_two_decimals_of_exact_hundredths_and_ties(n):
    for value in (n / 100, n / 1000, n / 8):
        reporter = Reporter()
        printed(reporter.log_failure, "x", {"confidence": value})
        assert reporter.results[0]["reasons"] == f"DOM confidence={value:.2f}"


def test_other_numbers_count_by_their_float_value():
    class Score:
        def __float__(self):
            return 0.125

    reporter = Reporter()
    printed(reporter.log_failure, "x", {"confidence": Score()})
    assert reporter.results[0]["reasons"] == "DOM confidence=0.12"


def test_an_int_too_large_for_a_float_fails_as_format_does():
    reporter = Reporter()
    with pytest.raises(OverflowError) as ours:
        reporter.log_failure("x", {"confidence": 10**400})
    with pytest.raises(OverflowError) as host:
        f"{10**400:.2f}"
    assert str(ours.value) == str(host.value)
    assert reporter.results == []


# --- log_verification ---------------------------------------------------------


def test_failed_verification_without_element_or_state():
    reporter = Reporter()
    assert printed(reporter.log_verification, "verify Ghost is visible", False, None) == "  [FAIL] verify Ghost is visible\n"
    assert list(reporter.results[0].items()) == [
        ("status", "FAIL"),
        ("instruction", "verify Ghost is visible"),
        ("strategy", "DOM-verify"),
        ("element_tag", ""),
        ("element_text", ""),
        ("state", {}),
        ("locator", ""),
    ]


def test_passed_verification_with_element_and_state():
    reporter = Reporter()
    state = {"present": True, "visible": True, "enabled": False}
    out = printed(reporter.log_verification, "verify Submit is enabled", True, ELEMENT, state)
    assert out == (
        "  [PASS] verify Submit is enabled\n"
        "         state : {'present': True, 'visible': True, 'enabled': False}\n"
    )
    record = reporter.results[0]
    assert record["state"] is state
    assert (record["status"], record["element_tag"], record["element_text"], record["locator"]) == (
        "PASS", "button", "Sign in to your account", ELEMENT["xpath"])
    assert "element_label" not in record


def test_an_empty_state_prints_no_state_line_and_stores_a_new_record():
    reporter = Reporter()
    given_state = {}
    assert printed(reporter.log_verification, "verify A is present", True, {}, given_state) == "  [PASS] verify A is present\n"
    printed(reporter.log_verification, "verify B is present", True, {})
    first, second = (r["state"] for r in reporter.results)
    assert first == {} and first is not given_state and second is not first


@given(st.dictionaries(text, state_values, min_size=1, max_size=4))
def test_state_line_writes_the_record_as_repr_does(state):
    reporter = Reporter()
    out = printed(reporter.log_verification, "verify X is visible", True, None, state)
    assert out.split("\n")[1] == "         state : " + repr(state)


def test_state_holding_itself_is_written_as_repr_writes_it():
    state = {"present": True}
    state["self"] = state
    reporter = Reporter()
    assert printed(reporter.log_verification, "v", True, None, state).split("\n")[1] == "         state : " + repr(state)


# --- type errors: nothing logged ----------------------------------------------

WRONG_TYPES = [
    ("log_success", (1, "DOM", {}), {}, "log_success() argument 'instruction' must be str, not int"),
    ("log_success", ("x", None, {}), {}, "log_success() argument 'strategy_used' must be str, not None"),
    ("log_success", ("x", "DOM", None), {}, "log_success() argument 'element' must be dict, not None"),
    ("log_success", ("x", "DOM", [{}]), {}, "log_success() argument 'element' must be dict, not list"),
    ("log_success", ("x", "DOM", {"text": 5}), {}, "log_success() element 'text' must be str, not int"),
    ("log_success", ("x", "DOM", {"attributes": []}), {}, "log_success() element 'attributes' must be dict, not list"),
    ("log_failure", ("x", None), {}, "log_failure() argument 'dom_result' must be dict, not None"),
    ("log_failure", ("x", {}, []), {}, "log_failure() argument 'spatial_result' must be dict or None, not list"),
    ("log_failure", ("x", {}), {"florence_result": 0.5},
     "log_failure() argument 'florence_result' must be dict or None, not float"),
    ("log_failure", ("x", {"confidence": "high"}), {}, "log_failure() dom_result 'confidence' must be a number, not str"),
    ("log_failure", ("x", {"confidence": None}), {}, "log_failure() dom_result 'confidence' must be a number, not None"),
    ("log_failure", ("x", {"candidates": [{"text": 3}]}), {}, "log_failure() candidate 'text' must be str, not int"),
    # None is no text: a text is cut and quoted, so only a missing key falls back to "".
    ("log_failure", ("x", {"candidates": [{"text": None}]}), {}, "log_failure() candidate 'text' must be str, not None"),
    ("log_failure", ("x", {}, {"candidates": [{"tag": "a", "text": None}]}), {},
     "log_failure() candidate 'text' must be str, not None"),
    ("log_success", ("x", "DOM", {"text": None}), {}, "log_success() element 'text' must be str, not None"),
    ("log_verification", ("x", False, {"text": None}), {}, "log_verification() element 'text' must be str, not None"),
    ("log_failure", ("x", {"candidates": ["button"]}), {}, "log_failure() candidate must be dict, not str"),
    ("log_verification", ("x", 1, None), {}, "log_verification() argument 'passed' must be bool, not int"),
    ("log_verification", ("x", True, "el"), {}, "log_verification() argument 'element' must be dict or None, not str"),
    ("log_verification", ("x", True, None, []), {}, "log_verification() argument 'state' must be dict or None, not list"),
    ("log_verification", ("x", True, {"text": b"x"}), {}, "log_verification() element 'text' must be str, not bytes"),
    ("log_verification", ("x", True, None, {"k": object()}), {}, "must be None, bool, int, float, str, list or dict"),
]


@pytest.mark.parametrize("method, args, kwargs, message", WRONG_TYPES)
def test_wrong_types_are_refused_before_anything_is_logged(method, args, kwargs, message):
    reporter = Reporter()
    out = io.StringIO()
    with contextlib.redirect_stdout(out), pytest.raises(TypeError) as error:
        getattr(reporter, method)(*args, **kwargs)
    assert message in str(error.value)
    assert reporter.results == [] and out.getvalue() == ""


def test_arguments_pass_by_keyword():
    reporter = Reporter()
    printed(reporter.log_failure, instruction="x", dom_result={}, spatial_result=None, florence_result={"confidence": 0.1})
    printed(reporter.log_verification, instruction="v", passed=True, element=None, state={"present": True})
    printed(reporter.log_success, instruction="s", strategy_used="DOM", element={})
    assert [r["status"] for r in reporter.results] == ["FAIL", "PASS", "PASS"]
    assert reporter.results[0]["reasons"] == "Florence confidence=0.10"


# --- the console ----------------------------------------------------------------


def test_lines_interleave_with_the_hosts_prints(capsys):
    reporter = Reporter()
    print("before")
    reporter.log_failure("click Go", {"confidence": 0.25, "candidates": [{"tag": "a", "text": "Go on"}]})
    print("between")
    reporter.log_success("click Go", "DOM", {})
    assert capsys.readouterr().out == (
        "before\n  [FAIL] click Go\n         reasons : DOM confidence=0.25\n         closest : <a> text='Go on'\n"
        "between\n  [PASS] click Go  (via DOM)\n"
    )


def test_each_line_is_one_write_to_the_current_stdout(monkeypatch):
    writes = []

    class Recorder:
        def write(self, s):
            writes.append(s)

    monkeypatch.setattr(sys, "stdout", Recorder())
    Reporter().log_verification("verify \u2713 is visible", True, None, {"visible": True})
    assert writes == ["  [PASS] verify \u2713 is visible\n", "         state : {'visible': True}\n"]


def test_without_stdout_nothing_is_printed_but_the_record_is_kept(monkeypatch):
    monkeypatch.setattr(sys, "stdout", None)
    reporter = Reporter()
    reporter.log_success("click A", "DOM", {})
    assert len(reporter.results) == 1


def test_a_failing_stdout_passes_its_error_after_the_record_is_kept(monkeypatch):
    class Broken:
        def write(self, s):
            raise BrokenPipeError(32, "Broken pipe")

    monkeypatch.setattr(sys, "stdout", Broken())
    reporter = Reporter()
    with pytest.raises(BrokenPipeError):
        reporter.log_success("click A", "DOM", {})
    assert len(reporter.results) == 1
