"""Reporter.summary: the end-of-run block, recomputed from results on every call."""

import contextlib
import io
from pathlib import Path

import pytest

from reporter_support import STARTED, printed, reporter_with
from vantor.engine.agent.reporter import Reporter

RULE = "=" * 60
REPORT_LINE = "  HTML report \u2192 data/reports/report.html"


pytestmark = pytest.mark.usefixtures("in_tmp")


def summary_of(reporter):
    return printed(reporter.summary)


def head(total, passed, failed):
    return [
        "",
        RULE,
        f"  TEST RUN SUMMARY  \u2014  {STARTED}",
        RULE,
        f"  Total        : {total}",
        f"  Passed       : {passed}",
        f"  Failed       : {failed}",
        "",
    ]


def run(*calls):
    """A reporter after these logging calls, with their console lines dropped."""
    reporter = reporter_with()
    with contextlib.redirect_stdout(io.StringIO()):
        for name, *args in calls:
            getattr(reporter, name)(*args)
    return reporter


def test_no_records():
    out = summary_of(reporter_with())
    assert out.split("\n") == head(0, 0, 0) + [RULE, REPORT_LINE, ""]
    assert Path("data/reports/report.html").is_file()


def test_only_passes():
    reporter = run(("log_success", "click A", "DOM", {}), ("log_success", "click B", "DOM", {}),
                   ("log_success", "click C", "Spatial", {}))
    assert summary_of(reporter).split("\n") == head(3, 3, 0) + [
        "  Strategy breakdown (passes only):",
        "    DOM                  2",
        "    Spatial              1",
        "",
        RULE,
        REPORT_LINE,
        "",
    ]


def test_mixed_with_verifications():
    reporter = run(
        ("log_failure", "click Ghost", {"confidence": 0.0, "candidates": []}, {"confidence": 0.35}),
        ("log_success", "click Home", "Spatial", {}),
        ("log_verification", "verify Home is visible", True, {}),
        ("log_verification", "verify Away is visible", False, None),
        ("log_failure", "click Nothing", {}),
    )
    assert summary_of(reporter).split("\n") == head(5, 2, 3) + [
        "  Strategy breakdown (passes only):",
        "    DOM-verify           1",
        "    Spatial              1",
        "",
        "  Failed instructions:",
        "    \u2717  click Ghost",
        "       DOM confidence=0.00 | Spatial confidence=0.35",
        "    \u2717  verify Away is visible",
        "    \u2717  click Nothing",
        "",
        RULE,
        REPORT_LINE,
        "",
    ]


def test_long_names_stand_whole_and_names_sort_by_code_point():
    long_name = "a-strategy-of-25-letters"  # 24 + 1
    long_name += "x"
    names = ["zeta", long_name, "Zeta", "\u00e9clair", "DOM", "exactly-twenty-chars"]
    reporter = reporter_with({"status": "PASS", "instruction": "i", "strategy": n} for n in names)
    lines = summary_of(reporter).split("\n")
    start = lines.index("  Strategy breakdown (passes only):") + 1
    assert lines[start : start + len(names)] == [
        "    DOM                  1",
        "    Zeta                 1",
        "    " + long_name + " 1",
        "    exactly-twenty-chars 1",
        "    zeta                 1",
        "    \u00e9clair               1",  # padded by characters, not bytes
    ]


def test_passes_without_strategy_count_as_unknown():
    reporter = reporter_with([{"status": "PASS", "instruction": "i"}, {"status": "PASS", "instruction": "j", "strategy": "DOM"}])
    assert "    unknown              1" in summary_of(reporter).split("\n")


def test_other_statuses_count_as_not_passed_but_only_failures_are_listed():
    reporter = reporter_with([{"status": "SKIPPED", "instruction": "wait 5", "reasons": "skipped by runner"},
                              {"status": "FAIL", "instruction": "click Ghost", "reasons": "DOM confidence=0.00"},
                              {"status": "pass", "instruction": "verify Total is visible"}])
    lines = summary_of(reporter).split("\n")
    assert lines[4:7] == ["  Total        : 3", "  Passed       : 0", "  Failed       : 3"]
    assert lines[8:12] == ["  Failed instructions:", "    \u2717  click Ghost", "       DOM confidence=0.00", ""]


def test_called_again_it_reflects_records_added_meanwhile():
    reporter = run(("log_success", "click A", "DOM", {}))
    first = summary_of(reporter)
    with contextlib.redirect_stdout(io.StringIO()):
        reporter.log_failure("click B", {})
    second = summary_of(reporter)
    assert "  Failed       : 0" in first and "  Failed       : 1" in second
    assert len(reporter.results) == 2


@pytest.mark.parametrize(
    "record, key",
    [({"instruction": "x"}, "status"), ({"status": "FAIL"}, "instruction")],
)
def test_a_record_without_its_keys_fails_before_anything_is_printed(record, key):
    reporter = reporter_with([{"status": "PASS", "strategy": "DOM"}, record])
    out = io.StringIO()
    with contextlib.redirect_stdout(out), pytest.raises(KeyError) as error:
        reporter.summary()
    assert error.value.args == (key,) and out.getvalue() == ""
    assert not Path("data").exists()


def test_report_errors_pass_through_after_the_block(tmp_path):
    Path("data").write_text("not a directory")
    out = io.StringIO()
    with contextlib.redirect_stdout(out), pytest.raises(NotADirectoryError):
        reporter_with().summary()
    assert out.getvalue().endswith(RULE + "\n")  # the block, but no report line


def test_summary_writes_the_report_through_save_html():
    calls = []

    class Mine(Reporter):
        def save_html(self):
            calls.append(len(self.results))

    reporter = Mine()
    reporter.results.append({"status": "PASS"})
    with contextlib.redirect_stdout(io.StringIO()):
        reporter.summary()
    assert calls == [1] and not Path("data").exists()
