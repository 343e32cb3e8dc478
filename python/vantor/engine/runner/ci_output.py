"""Results for CI: JUnit XML (one testcase per script) and the outcome records as JSON."""

import json
import xml.etree.ElementTree as ET
from pathlib import Path

from vantor.engine.runner.files import write_whole
from vantor.engine.runner.outcome import FAILED, NOT_RUN, PASSED, SKIPPED

_NOT_RUN_CODES = {2: "bad script", 3: "no browser or start page"}


def write_junit(results, path):
    suite = ET.Element("testsuite", name="vantor.engine", tests=str(len(results)))
    failures = errors = 0
    total_ms = 0
    for result in results:
        total_ms += result.duration_ms
        case = ET.SubElement(suite, "testcase", name=Path(result.script).stem, classname=str(result.script),
                             time=f"{result.duration_ms / 1000:.3f}")
        if result.code in _NOT_RUN_CODES:
            errors += 1
            ET.SubElement(case, "error", message=f"not run: {_NOT_RUN_CODES[result.code]}").text = result.problem
            continue
        failed = [outcome for outcome in result.outcomes if outcome.status == FAILED]
        if failed:
            failures += 1
            first = failed[0]
            message = f"line {first.line}: {first.text.strip()} — {first.reason}"
            ET.SubElement(case, "failure", message=message).text = "\n".join(
                f"line {o.line}: {o.text.strip()} — {o.reason}"
                + "".join(f"\n    closest: {c.describe()}" for c in o.candidates) for o in failed)
        elif any(outcome.status == NOT_RUN for outcome in result.outcomes):
            errors += 1
            ET.SubElement(case, "error", message="interrupted before every step ran")
        ET.SubElement(case, "system-out").text = "\n".join(
            f"line {o.line}: [{o.status}] {o.text.strip()}" for o in result.outcomes)
    suite.set("failures", str(failures))
    suite.set("errors", str(errors))
    suite.set("time", f"{total_ms / 1000:.3f}")
    write_whole(path, ET.tostring(suite, encoding="unicode", xml_declaration=True) + "\n")


def write_json(results, path):
    records = [{
        "script": result.script, "exit_code": result.code, "start_url": result.start_url, "browser": result.browser,
        "duration_ms": result.duration_ms, "report": result.report, "problem": result.problem,
        "counts": {status: sum(1 for o in result.outcomes if o.status == status)
                   for status in (PASSED, FAILED, SKIPPED, NOT_RUN)},
        "steps": [outcome.as_record() for outcome in result.outcomes],
    } for result in results]
    write_whole(path, json.dumps(records, indent=2, ensure_ascii=False) + "\n")
