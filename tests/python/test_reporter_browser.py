"""The written report as a browser shows it: badges, one row per record, pass and fail colours."""

import contextlib
import io

import pytest

from browser import chromium, page  # noqa: F401
from vantor.engine.agent.reporter import Reporter

GREEN, RED = "rgb(45, 164, 78)", "rgb(207, 34, 46)"
PASS_BACKGROUND, FAIL_BACKGROUND = "rgb(246, 255, 249)", "rgb(255, 246, 246)"


@pytest.fixture
def report_url(tmp_path, monkeypatch):
    """Writes the report of a small run into tmp_path and gives its file URL."""
    monkeypatch.chdir(tmp_path)
    reporter = Reporter()
    with contextlib.redirect_stdout(io.StringIO()):
        reporter.log_success("click Login", "DOM", {"tag": "button", "text": "Login"})
        reporter.log_failure("click <script>window.injected = true</script>", {"confidence": 0.4})
        reporter.log_verification("verify Cart is visible", True, {"tag": "a", "text": "Cart (2)"}, {"visible": True})
        reporter.log_verification("verify Ghost is present", False, None)
        reporter.summary()
    return (tmp_path / "data" / "reports" / "report.html").as_uri()


def test_report_shows_totals_rows_and_colours(page, report_url):  # noqa: F811
    page.goto(report_url)
    assert page.title() == "Test Report \u2014 " + page.inner_text("p")
    assert page.locator(".badge").all_inner_texts() == ["Total: 4", "Passed: 2", "Failed: 2"]

    rows = page.locator("tbody tr")
    assert rows.count() == 4
    cells = [rows.nth(i).locator("td").all_inner_texts() for i in range(4)]
    assert [c[0] for c in cells] == ["1", "2", "3", "4"]
    assert [c[2] for c in cells] == ["PASS", "FAIL", "PASS", "FAIL"]
    assert cells[1][1] == "click <script>window.injected = true</script>"  # shown as text, never run
    assert cells[1][3] == "DOM confidence=0.40" and cells[2][3] == "Cart (2)" and cells[3][3] == ""
    assert page.evaluate("window.injected") is None

    colours = page.evaluate(
        """() => [...document.querySelectorAll('tbody tr')].map(tr => [
            getComputedStyle(tr).backgroundColor,
            getComputedStyle(tr.children[2]).color,
            getComputedStyle(tr.children[2]).fontWeight])"""
    )
    expected = [(PASS_BACKGROUND, GREEN), (FAIL_BACKGROUND, RED), (PASS_BACKGROUND, GREEN), (FAIL_BACKGROUND, RED)]
    assert [(bg, colour) for bg, colour, _ in colours] == expected
    assert all(weight == "700" for _, _, weight in colours)


def test_badges_are_coloured_like_the_rows(page, report_url):  # noqa: F811
    page.goto(report_url)
    styles = page.evaluate(
        """() => [...document.querySelectorAll('.badge')].map(b =>
            [getComputedStyle(b).backgroundColor, getComputedStyle(b).color])"""
    )
    assert styles == [
        ["rgb(240, 240, 240)", "rgb(51, 51, 51)"],
        ["rgb(218, 251, 225)", "rgb(26, 127, 55)"],
        ["rgb(255, 235, 233)", RED],
    ]
