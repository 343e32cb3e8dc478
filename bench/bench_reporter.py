"""Reporter cost per logging call and per report, against plain Python doing the least the same job needs.

The yardsticks are straight-line Python: build the record dict with the
needed dict look-ups and write the line to sys.stdout (for the logging
calls); escape each row with html.escape, join the page and write it (for
the report). Console output goes to a StringIO for both sides, and the
report to a temporary directory. Each round times every loop once, side by
side; the figures quoted are medians over the rounds.
"""

import contextlib
import html
import io
import os
import statistics
import sys
import tempfile
import time

from vantor.engine.agent.reporter import Reporter

ELEMENT = {
    "tag": "button", "text": "Add to cart and continue shopping for more items", "is_visible": True,
    "attributes": {"id": "add", "class": "btn primary", "_label": "Quantity"},
    "bounding_box": {"x": 10.0, "y": 200.0, "width": 120.0, "height": 32.0},
    "xpath": "/html[1]/body[1]/main[1]/div[3]/button[2]",
}
DOM_RESULT = {"resolved": False, "confidence": 0.0, "element": None, "candidates": [ELEMENT]}
SPATIAL_RESULT = {"resolved": False, "confidence": 0.35, "element": None, "candidates": []}
STATE = {"present": True, "visible": True, "enabled": False}


def python_success(results, instruction, strategy, element):
    results.append({
        "status": "PASS", "instruction": instruction, "strategy": strategy,
        "element_tag": element.get("tag", ""), "element_text": (element.get("text") or "")[:40],
        "element_label": element.get("attributes", {}).get("_label", ""), "locator": element.get("xpath", ""),
    })
    sys.stdout.write(f"  [PASS] {instruction}  (via {strategy})\n")


def python_failure(results, instruction, dom, spatial):
    reasons = f"DOM confidence={dom.get('confidence', 0):.2f} | Spatial confidence={spatial.get('confidence', 0):.2f}"
    c = dom["candidates"][0]
    top = f"<{c.get('tag', '')}> text={c.get('text', '')[:30]!r}"
    results.append({"status": "FAIL", "instruction": instruction, "strategy": "none", "reasons": reasons,
                    "top_candidate": top})
    sys.stdout.write(f"  [FAIL] {instruction}\n")
    sys.stdout.write(f"         reasons : {reasons}\n")
    sys.stdout.write(f"         closest : {top}\n")


def python_verification(results, instruction, passed, element, state):
    results.append({"status": "PASS" if passed else "FAIL", "instruction": instruction, "strategy": "DOM-verify",
                    "element_tag": element.get("tag", ""), "element_text": (element.get("text") or "")[:40],
                    "state": state, "locator": element.get("xpath", "")})
    sys.stdout.write(f"  [{'PASS' if passed else 'FAIL'}] {instruction}\n")
    sys.stdout.write(f"         state : {state!r}\n")


def python_report(results, started_at):
    rows = "".join(
        f'\n            <tr style="background:{"#f6fff9" if r["status"] == "PASS" else "#fff6f6"}">'
        f"\n                <td>{i}</td>\n                <td><code>{html.escape(r['instruction'])}</code></td>"
        f'\n                <td style="color:{"#2da44e" if r["status"] == "PASS" else "#cf222e"};font-weight:bold">'
        f"{html.escape(r['status'])}</td>"
        f"\n                <td>{html.escape(r.get('reasons') or r.get('extracted') or r.get('element_text') or '')}"
        "</td>\n            </tr>"
        for i, r in enumerate(results, 1)
    )
    page = f"<html><title>{html.escape(started_at)}</title><body><table><tbody>\n      {rows}\n</tbody></html>"
    os.makedirs("data/reports", exist_ok=True)
    with open("data/reports/report.html.tmp", "w", encoding="utf-8") as f:
        f.write(page)
    os.replace("data/reports/report.html.tmp", "data/reports/report.html")


def per_call_ns(run, count):
    start = time.perf_counter_ns()
    run()
    return (time.perf_counter_ns() - start) / count


def main(count=20_000, report_records=2_000, rounds=15):
    loops = {}

    def logging_pair(name, ours, theirs):
        def run_ours():
            reporter = Reporter()
            for _ in range(count):
                ours(reporter)

        def run_theirs():
            results = []
            for _ in range(count):
                theirs(results)

        loops[name] = (run_theirs, run_ours, count)

    logging_pair("log_success", lambda r: r.log_success("click Add to cart", "DOM", ELEMENT),
                 lambda res: python_success(res, "click Add to cart", "DOM", ELEMENT))
    logging_pair("log_failure", lambda r: r.log_failure("click Ghost", DOM_RESULT, SPATIAL_RESULT),
                 lambda res: python_failure(res, "click Ghost", DOM_RESULT, SPATIAL_RESULT))
    logging_pair("log_verification", lambda r: r.log_verification("verify Add is enabled", False, ELEMENT, STATE),
                 lambda res: python_verification(res, "verify Add is enabled", False, ELEMENT, STATE))

    reporter = Reporter()
    with contextlib.redirect_stdout(io.StringIO()):
        for i in range(report_records):
            if i % 3 == 0:
                reporter.log_failure(f"click <Ghost> {i}", DOM_RESULT, SPATIAL_RESULT)
            else:
                reporter.log_success(f"click 'Item' & more {i}", "DOM", ELEMENT)
    loops["save_html"] = (lambda: python_report(reporter.results, reporter._started_at), reporter.save_html,
                          report_records)

    samples = {name: ([], []) for name in loops}
    with tempfile.TemporaryDirectory() as folder:
        here = os.getcwd()
        os.chdir(folder)
        try:
            for _ in range(rounds):
                for name, (theirs, ours, n) in loops.items():
                    for sample, run in zip(samples[name], (theirs, ours)):
                        with contextlib.redirect_stdout(io.StringIO()):
                            sample.append(per_call_ns(run, n))
        finally:
            os.chdir(here)

    print(f"reporter: {count} logging calls, {report_records}-record report, {rounds} rounds, median ns")
    for name, (theirs, ours) in samples.items():
        python_ns, our_ns = statistics.median(theirs), statistics.median(ours)
        unit = "per record" if name == "save_html" else "per call"
        print(f"  {name:<17} {our_ns:8.1f} ns {unit:<10}  plain Python {python_ns:8.1f} ns   "
              f"{our_ns / python_ns:5.2f}x")


if __name__ == "__main__":
    main()
