"""python -m vantor.engine check: shows, step by step, how each step of a script reads.

The script is checked first, as run checks it; then every step is parsed, and
a step that cannot be read is shown with the reason instead of stopping. Any
problem, or a script without steps, exits 2 as run would refuse it.
"""

import sys

from vantor.engine.agent.stepreader import StepReader
from vantor.engine.runner.actions import unreadable_reason
from vantor.engine.runner.script import ScriptError, read_script, validation_issues


def describe(record):
    parts = [f"{record['action']}"]
    if record["target"] is not None:
        parts.append(f"target={record['target']!r}")
    if record["value"] is not None:
        parts.append(f"value={record['value']!r}")
    if record.get("ordinal", 1) != 1:
        parts.append(f"ordinal={record['ordinal']}")
    if record["_literal_target"]:
        parts.append("literal")
    return " ".join(parts)


def show_script(reader, path):
    script = read_script(path)
    print(f"{path}: {len(script.steps)} steps")
    issues = validation_issues(reader, script)
    for issue in issues:
        print(f"  {issue}")
    if not script.steps:
        print("  error: no steps in this script")
        return False
    print("  script is clean" if not issues else f"  {len(issues)} problem(s) found")
    readable = 0
    for step in script.steps:
        try:
            record = reader.parse(step.text)
        except ValueError as error:
            print(f"  {step.line:>3}  {step.text.strip()}\n       ✗ {unreadable_reason(error)}")
            continue
        readable += 1
        print(f"  {step.line:>3}  {step.text.strip()}\n       → {describe(record)}")
    print(f"  {readable} of {len(script.steps)} steps read")
    return not issues


def show_scripts(paths):
    reader = StepReader()
    try:
        all_read = [show_script(reader, path) for path in paths]
    except ScriptError as error:
        print(f"error: {error}", file=sys.stderr)
        return 2
    return 0 if all(all_read) else 2
