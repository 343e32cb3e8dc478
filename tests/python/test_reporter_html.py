"""Reporter.save_html: the page, its escaping, and how the file is replaced."""

import contextlib
import errno
import html
import io
import os
import resource
import signal
import stat
from pathlib import Path

import pytest
from hypothesis import HealthCheck, given, settings

from unicode_text import text
from reporter_support import printed, reporter_with

REPORT = Path("data/reports/report.html")

HEAD = """<!DOCTYPE html>
<html lang="en">
<head>
  <meta charset="UTF-8">
  <title>Test Report \u2014 2024-05-01 09:03:07</title>
  <style>
    body { font-family: -apple-system, sans-serif; margin: 40px; color: #1f2328; }
    h1   { font-size: 1.4em; }
    .summary { display: flex; gap: 24px; margin: 16px 0 24px; }
    .badge { padding: 8px 18px; border-radius: 6px; font-weight: bold; font-size: 1.1em; }
    .pass  { background: #dafbe1; color: #1a7f37; }
    .fail  { background: #ffebe9; color: #cf222e; }
    .total { background: #f0f0f0; color: #333; }
    table  { border-collapse: collapse; width: 100%; font-size: 0.9em; }
    th     { background: #f6f8fa; text-align: left; padding: 8px 12px; border-bottom: 2px solid #d0d7de; }
    td     { padding: 8px 12px; border-bottom: 1px solid #d0d7de; }
    code   { background: #f6f8fa; padding: 2px 6px; border-radius: 4px; font-size: 0.85em; }
  </style>
</head>
<body>
  <h1>Test Report</h1>
  <p style="color:#666">2024-05-01 09:03:07</p>
  <div class="summary">
"""

TABLE_HEAD = """  </div>
  <table>
    <thead>
      <tr><th>#</th><th>Instruction</th><th>Status</th><th>Detail</th></tr>
    </thead>
    <tbody>
      """

TAIL = """
    </tbody>
  </table>
</body>
</html>"""


def badges(total, passed, failed):
    return (
        f'    <span class="badge total">Total: {total}</span>\n'
        f'    <span class="badge pass">Passed: {passed}</span>\n'
        f'    <span class="badge fail">Failed: {failed}</span>\n'
    )


pytestmark = pytest.mark.usefixtures("in_tmp")


def save(reporter):
    return printed(reporter.save_html)


def page():
    return REPORT.read_bytes().decode("utf-8")


def rows_of(page_text):
    return page_text[page_text.index("<tbody>\n      ") + len("<tbody>\n      ") : page_text.index("\n    </tbody>")]


# --- layout -------------------------------------------------------------------


def test_empty_run_page_is_exactly_the_layout():
    assert save(reporter_with()) == "  HTML report \u2192 data/reports/report.html\n"
    assert page() == HEAD + badges(0, 0, 0) + TABLE_HEAD + TAIL


def test_page_with_rows_is_exactly_the_layout():
    reporter = reporter_with()
    with contextlib.redirect_stdout(io.StringIO()):
        reporter.log_success("click Login", "DOM", {"tag": "button", "text": "Login"})
        reporter.log_failure("click Ghost", {"confidence": 0.4})
    assert save(reporter) == "  HTML report \u2192 data/reports/report.html\n"
    assert page() == HEAD + badges(2, 1, 1) + TABLE_HEAD + (
        "\n"
        '            <tr style="background:#f6fff9">\n'
        "                <td>1</td>\n"
        "                <td><code>click Login</code></td>\n"
        '                <td style="color:#2da44e;font-weight:bold">PASS</td>\n'
        "                <td>Login</td>\n"
        "            </tr>\n"
        '            <tr style="background:#fff6f6">\n'
        "                <td>2</td>\n"
        "                <td><code>click Ghost</code></td>\n"
        '                <td style="color:#cf222e;font-weight:bold">FAIL</td>\n'
        "                <td>DOM confidence=0.40</td>\n"
        "            </tr>"
    ) + TAIL


DETAILS = [
    ({"status": "FAIL", "instruction": "i", "reasons": "R", "extracted": "E", "element_text": "T"}, "R"),
    ({"status": "FAIL", "instruction": "i", "reasons": "", "extracted": "E", "element_text": "T"}, "E"),
    ({"status": "PASS", "instruction": "i", "extracted": None, "element_text": "T"}, "T"),
    ({"status": "PASS", "instruction": "i", "extracted": 0, "element_text": ""}, ""),
    ({"status": "PASS", "instruction": "i", "extracted": 42}, "42"),
    ({"status": "FAIL", "instruction": "i"}, ""),
]


@pytest.mark.parametrize("record, detail", DETAILS)
def test_detail_is_the_first_present_and_non_empty_of_reasons_extracted_element_text(record, detail):
    save(reporter_with([record]))
    assert f"                <td>{detail}</td>\n            </tr>" in page()


def test_rows_are_numbered_and_coloured_by_status():
    statuses = ["PASS", "FAIL", "SKIPPED", "pass", "PASS"]
    save(reporter_with({"status": s, "instruction": f"step {i}"} for i, s in enumerate(statuses)))
    text_ = page()
    assert badges(5, 2, 3) in text_
    rows = rows_of(text_).split("\n            <tr ")[1:]
    assert len(rows) == 5
    for number, (row, status) in enumerate(zip(rows, statuses), start=1):
        passed = status == "PASS"
        assert row.startswith('style="background:' + ("#f6fff9" if passed else "#fff6f6") + '">')
        assert f"<td>{number}</td>" in row
        assert f'<td style="color:{"#2da44e" if passed else "#cf222e"};font-weight:bold">{status}</td>' in row


def test_runner_added_extracted_text_shows_as_detail():
    reporter = reporter_with()
    with contextlib.redirect_stdout(io.StringIO()):
        reporter.log_success("extract text below Price", "DOM", {"tag": "span", "text": "Price"})
    reporter.results[-1]["extracted"] = "$29.99"
    save(reporter)
    assert "<td>$29.99</td>" in page()


# --- escaping -----------------------------------------------------------------

HOSTILE = "<script>alert('x')</script> & \"quoted\" <b>bold</b>"


def test_every_inserted_value_is_escaped_as_html_escape_does():
    reporter = reporter_with([
        {"status": HOSTILE, "instruction": HOSTILE, "reasons": HOSTILE},
        {"status": "PASS", "instruction": "<i>", "extracted": "a<b&c>d'e\"f"},
    ])
    reporter._started_at = "<t>&'\""
    save(reporter)
    text_ = page()
    assert "<script>" not in text_ and "<b>" not in text_ and "<i>" not in text_
    escaped = html.escape(HOSTILE)
    assert f"<td><code>{escaped}</code></td>" in text_
    assert f'font-weight:bold">{escaped}</td>' in text_
    assert f"<td>{escaped}</td>" in text_
    assert "<td>" + html.escape("a<b&c>d'e\"f") + "</td>" in text_
    assert f"<title>Test Report \u2014 {html.escape(reporter._started_at)}</title>" in text_
    assert f'<p style="color:#666">{html.escape(reporter._started_at)}</p>' in text_


@settings(suppress_health_check=[HealthCheck.function_scoped_fixture], max_examples=60)
@given(text.filter(lambda s: not any(0xD800 <= ord(c) <= 0xDFFF for c in s)))
def test_any_instruction_is_written_escaped(s):
    save(reporter_with([{"status": "PASS", "instruction": s}]))
    assert f"<td><code>{html.escape(s)}</code></td>" in page()


def test_a_lone_surrogate_is_refused_as_the_utf8_encoder_refuses_it():
    save(reporter_with([{"status": "PASS", "instruction": "fine"}]))
    before = REPORT.read_bytes()
    with pytest.raises(UnicodeEncodeError) as error:
        save(reporter_with([{"status": "PASS", "instruction": "bad \ud800"}]))
    assert error.value.reason == "surrogates not allowed"
    assert REPORT.read_bytes() == before


def test_the_file_is_utf8():
    save(reporter_with([{"status": "PASS", "instruction": "tap \u00fcber \u2713 \U0001f600"}]))
    assert "<code>tap \u00fcber \u2713 \U0001f600</code>" in REPORT.read_bytes().decode("utf-8")


# --- the file -------------------------------------------------------------------


def test_two_calls_leave_one_file_holding_the_second_page():
    reporter = reporter_with([{"status": "PASS", "instruction": "first"}])
    save(reporter)
    reporter.results.append({"status": "FAIL", "instruction": "second"})
    save(reporter)
    assert os.listdir("data/reports") == ["report.html"]
    assert badges(2, 1, 1) in page() and "second" in page()


def test_the_file_gets_the_mode_open_would_give():
    old = os.umask(0o027)
    try:
        save(reporter_with())
    finally:
        os.umask(old)
    assert stat.S_IMODE(REPORT.stat().st_mode) == 0o640


def test_missing_keys_fail_before_the_file_is_touched():
    save(reporter_with([{"status": "PASS", "instruction": "kept"}]))
    before = REPORT.read_bytes()
    for record, key in (({"instruction": "x"}, "status"), ({"status": "PASS"}, "instruction")):
        with pytest.raises(KeyError) as error:
            save(reporter_with([record]))
        assert error.value.args == (key,)
    assert REPORT.read_bytes() == before


@pytest.fixture
def file_size_limit():
    """Lowers the soft limit on file size (the hard one stays), so writes past it fail with EFBIG."""
    old_limits = resource.getrlimit(resource.RLIMIT_FSIZE)
    old_handler = signal.signal(signal.SIGXFSZ, signal.SIG_IGN)

    def lower(size):
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, old_limits[1]))

    yield lower
    resource.setrlimit(resource.RLIMIT_FSIZE, old_limits)
    signal.signal(signal.SIGXFSZ, old_handler)


def test_a_failed_write_keeps_the_earlier_report(file_size_limit):
    reporter = reporter_with([{"status": "PASS", "instruction": "short run"}])
    save(reporter)
    before = REPORT.read_bytes()
    reporter.results.extend({"status": "FAIL", "instruction": "x" * 200} for _ in range(50))
    file_size_limit(len(before) + 100)
    out = io.StringIO()
    with contextlib.redirect_stdout(out), pytest.raises(OSError) as error:
        reporter.save_html()
    file_size_limit(resource.RLIM_INFINITY)
    assert error.value.errno == errno.EFBIG
    assert REPORT.read_bytes() == before
    assert os.listdir("data/reports") == ["report.html"]  # no temporary file left behind
    assert out.getvalue() == ""  # no report line


@pytest.mark.parametrize("blocker", ["data", "data/reports"])
def test_directory_errors_are_those_of_os_makedirs(blocker):
    Path(blocker).parent.mkdir(parents=True, exist_ok=True)
    Path(blocker).write_text("a file where a directory belongs")
    with pytest.raises(OSError) as ours:
        save(reporter_with())
    with pytest.raises(OSError) as host:
        os.makedirs("data/reports", exist_ok=True)
    assert type(ours.value) is type(host.value)
    assert (ours.value.errno, ours.value.filename) == (host.value.errno, host.value.filename)


def test_a_directory_in_place_of_the_report_is_an_error_and_stays():
    REPORT.mkdir(parents=True)
    (REPORT / "inside").write_text("x")
    with pytest.raises(OSError) as error:
        save(reporter_with())
    assert error.value.errno in (errno.EISDIR, errno.ENOTEMPTY, errno.EEXIST)
    assert error.value.filename2 == str(REPORT)
    assert sorted(os.listdir("data/reports")) == ["report.html"]
    assert (REPORT / "inside").read_text() == "x"


@pytest.mark.skipif(os.geteuid() == 0, reason="root writes into read-only directories")
def test_an_unwritable_directory_is_a_permission_error():
    save(reporter_with())
    before = REPORT.read_bytes()
    os.chmod("data/reports", 0o555)
    try:
        with pytest.raises(PermissionError):
            save(reporter_with([{"status": "PASS", "instruction": "new"}]))
    finally:
        os.chmod("data/reports", 0o755)
    assert REPORT.read_bytes() == before
