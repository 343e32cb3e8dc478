"""The reporter stays sound when caller code changes what it is reading."""

import contextlib
import io

import pytest

from test_boundary import finaliser_during_call  # noqa: F401
from vantor.engine.agent.reporter import Reporter


def fresh(n, fill="x"):
    return "".join([fill] * n)  # a str of its own, freed when the record drops it


pytestmark = pytest.mark.usefixtures("in_tmp")


def quietly(call, *args):
    with contextlib.redirect_stdout(io.StringIO()) as out:
        call(*args)
    return out.getvalue()


def test_element_emptied_during_log_success(finaliser_during_call):  # noqa: F811
    element = {"tag": fresh(30, "t"), "text": fresh(100), "attributes": {"_label": fresh(20, "l")}, "xpath": fresh(9, "/")}
    originals = {"element_tag": "t" * 30, "element_text": "x" * 40, "element_label": "l" * 20, "locator": "/" * 9}
    reporter = Reporter()
    finaliser_during_call(lambda: (element["attributes"].clear(), element.clear()))
    out = quietly(reporter.log_success, fresh(12, "i"), "DOM", element)
    record = reporter.results[0]
    for key, original in originals.items():
        assert record[key] in (original, "")
    assert out == "  [PASS] " + "i" * 12 + "  (via DOM)\n"


def test_candidates_emptied_during_log_failure(finaliser_during_call):  # noqa: F811
    candidates = [{"tag": fresh(6, "b"), "text": fresh(50, "c")}]
    result = {"confidence": 0.5, "candidates": candidates}
    reporter = Reporter()
    finaliser_during_call(lambda: (candidates[0].clear(), candidates.clear(), result.clear()))
    quietly(reporter.log_failure, "click X", result)
    assert reporter.results[0]["top_candidate"] in ("<bbbbbb> text=" + repr("c" * 30), "<> text=''", "")


def test_state_emptied_during_log_verification(finaliser_during_call):  # noqa: F811
    state = {fresh(7, "k"): fresh(40, "v"), "visible": True}
    shown = repr(state)
    reporter = Reporter()
    finaliser_during_call(state.clear)
    out = quietly(reporter.log_verification, "verify X", True, None, state)
    # Emptied before it was looked at, while it was read, or after: each gives a consistent line.
    assert out in (
        "  [PASS] verify X\n",
        "  [PASS] verify X\n         state : " + shown + "\n",
        "  [PASS] verify X\n         state : {}\n",
    )


def test_results_emptied_during_summary(finaliser_during_call):  # noqa: F811
    reporter = Reporter()
    for i in range(20):
        reporter.results.append({"status": fresh(4, "F"), "instruction": fresh(30 + i), "reasons": fresh(25, "r")})
    finaliser_during_call(reporter.results.clear)
    out = quietly(reporter.summary)
    assert "  Total        : 20" in out or "  Total        : 0" in out


def test_records_changed_by_their_own_str_during_save_html():
    reporter = Reporter()

    class Sneaky:
        def __str__(self):
            reporter.results.clear()
            reporter.results.append({"status": "PASS", "instruction": fresh(10)})
            return "sneaky"

    reporter.results.extend([{"status": "FAIL", "instruction": Sneaky()}, {"status": "PASS", "instruction": "b"}])
    quietly(reporter.save_html)
    with open("data/reports/report.html", encoding="utf-8") as f:
        page = f.read()
    assert "<td><code>sneaky</code></td>" in page
