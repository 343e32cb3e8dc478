"""The script's own HTML report: what each step did, on which element, how long it
took, and for a failure a screenshot with the element outlined. It is written
beside the reporter's page, in the script's report folder, as report.html."""

import html
import os
from pathlib import Path

from vantor.engine.runner.files import write_whole
from vantor.engine.runner.outcome import FAILED, NOT_RUN, PASSED, SKIPPED

REPORT_NAME = "report.html"
_COLOURS = {PASSED: "#1a7f37", FAILED: "#cf222e", SKIPPED: "#9a6700", NOT_RUN: "#57606a"}
_STYLE = """body{font-family:-apple-system,sans-serif;margin:32px;color:#1f2328}
h1{font-size:1.4em}dl{display:grid;grid-template-columns:max-content auto;gap:4px 16px}dt{color:#57606a}
table{border-collapse:collapse;width:100%;font-size:.9em}th{background:#f6f8fa;text-align:left;padding:6px 10px}
td{padding:6px 10px;border-top:1px solid #d0d7de;vertical-align:top}code{background:#f6f8fa;padding:1px 4px}
.status{font-weight:bold}small{color:#57606a}img{max-width:480px;border:1px solid #d0d7de;display:block;margin-top:6px}"""


def write_report(folder, script, result):
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    counts = {status: sum(1 for o in result.outcomes if o.status == status) for status in _COLOURS}
    header = [
        ("Script", str(Path(script.path).resolve())),
        ("Start URL", result.start_url),
        ("Browser", result.browser or "unknown"),
        ("Total time", f"{result.duration_ms / 1000:.2f} s"),
        ("Steps", ", ".join(f"{count} {status}" for status, count in counts.items() if count) or "none"),
    ]
    rows = "\n".join(_row(outcome, folder) for outcome in result.outcomes)
    page = (
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"UTF-8\">\n"
        f"<title>{_e(script.path.name)} — steps</title>\n<style>{_STYLE}</style>\n</head>\n<body>\n"
        f"<h1>{_e(script.path.name)}</h1>\n<dl>\n"
        + "".join(f"<dt>{_e(name)}</dt><dd>{_e(value)}</dd>\n" for name, value in header)
        + "</dl>\n<table>\n<tr><th>Line</th><th>Step</th><th>Status</th><th>Time</th><th>Element</th>"
        "<th>Strategy</th><th>Detail</th></tr>\n" + rows + "\n</table>\n</body>\n</html>\n")
    return write_whole(folder / REPORT_NAME, page)


def _row(outcome, folder):
    colour = _COLOURS.get(outcome.status, "#cf222e")
    element = ""
    if outcome.element is not None:
        seen = outcome.element
        element = (f"<code>&lt;{_e(seen.tag)}&gt;</code> {_e(seen.text[:60])}"
                   + (f"<br><small>label: {_e(seen.label)}</small>" if seen.label else "")
                   + f"<br><small>{_e(seen.xpath)}</small>")
    detail = []
    if outcome.extracted is not None:
        detail.append(f"extracted: <code>{_e(outcome.extracted)}</code>")
    if outcome.reason:
        detail.append(_e(outcome.reason))
    detail.extend(f"closest: {_e(candidate.describe())}" for candidate in outcome.candidates)
    if outcome.screenshot:
        link = _e(os.path.relpath(outcome.screenshot, folder))
        detail.append(f'<a href="{link}"><img src="{link}" alt="the page at the failure"></a>')
    timing = "" if outcome.status in (SKIPPED, NOT_RUN) else (
        f"{outcome.duration_ms} ms<br><small>waited {outcome.waited_ms} ms</small>")
    return (f'<tr><td>{outcome.line}</td><td><code>{_e(outcome.text.strip())}</code></td>'
            f'<td class="status" style="color:{colour}">{_e(outcome.status)}</td><td>{timing}</td>'
            f"<td>{element}</td><td>{_e(outcome.strategy)}</td><td>{'<br>'.join(detail)}</td></tr>")


def _e(text):
    return html.escape(str(text))
