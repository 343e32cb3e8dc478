"""Reads test scripts and shows, step by step, what each one asks for.

    python -m vantor.engine SCRIPT [SCRIPT ...]

Lines that are blank or start with # are not steps. The script is checked
first; then every step is parsed, and a step that cannot be read is shown
with the reason instead of stopping the run.
"""

import sys

from vantor.engine.agent.stepreader import StepReader


def read_steps(path):
    with open(path, encoding="utf-8") as script:
        lines = [line.rstrip("\n") for line in script]
    return [(number, line) for number, line in enumerate(lines, 1) if line.strip() and not line.lstrip().startswith("#")]


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
    steps = read_steps(path)
    print(f"{path}: {len(steps)} steps")
    report = reader.validate_all([line for _, line in steps])
    for index, issues in report.items():
        number = steps[index - 1][0]
        for issue in issues:
            print(f"  line {number}: {issue}")
    print("  script is clean" if not report else f"  {len(report)} line(s) with issues")
    readable = 0
    for number, line in steps:
        try:
            record = reader.parse(line)
        except ValueError as error:
            print(f"  {number:>3}  {line.strip()}\n       ✗ {str(error).split('. Supported actions')[0]}")
            continue
        readable += 1
        print(f"  {number:>3}  {line.strip()}\n       → {describe(record)}")
    print(f"  {readable} of {len(steps)} steps read")
    return readable == len(steps)


def main(argv):
    if not argv:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    reader = StepReader()
    all_read = [show_script(reader, path) for path in argv]
    return 0 if all(all_read) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
