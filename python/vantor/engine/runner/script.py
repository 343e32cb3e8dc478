"""Reading test scripts: one step per line, blank and # lines skipped, line numbers kept."""

from dataclasses import dataclass
from pathlib import Path

SCRIPT_SUFFIX = ".steps"


class ScriptError(Exception):
    """A script that cannot be read; the message is one line for the user."""


@dataclass(frozen=True)
class Step:
    line: int  # 1-based line number in the file
    text: str


@dataclass(frozen=True)
class Script:
    path: Path
    steps: list

    @property
    def name(self):
        return self.path.stem


def read_script(path):
    path = Path(path)
    try:
        raw = path.read_bytes()
    except FileNotFoundError:
        raise ScriptError(f"{path}: no such file") from None
    except IsADirectoryError:
        raise ScriptError(f"{path}: is a folder, not a script") from None
    except OSError as error:
        raise ScriptError(f"{path}: cannot be read ({error.strerror})") from None
    steps = []
    for number, line in enumerate(raw.splitlines(), 1):
        try:
            text = line.decode("utf-8")
        except UnicodeDecodeError:
            raise ScriptError(f"{path}: line {number} is not valid UTF-8") from None
        if number == 1:
            text = text.removeprefix("\ufeff")  # a byte-order mark some editors write
        stripped = text.strip()
        if stripped and not stripped.startswith("#"):
            steps.append(Step(number, text))
    return Script(path, steps)


def find_scripts(paths):
    """The script files named, a folder standing for the .steps files inside it (sorted)."""
    found = []
    for path in map(Path, paths):
        if path.is_dir():
            inside = sorted(path.glob(f"*{SCRIPT_SUFFIX}"))
            if not inside:
                raise ScriptError(f"{path}: no {SCRIPT_SUFFIX} scripts in this folder")
            found.extend(inside)
        else:
            found.append(path)
    return found


def validation_issues(reader, script):
    """'line N: issue' for every problem the step reader finds, in line order: what
    validation finds, and for a line it lets through, why it cannot be read
    (validation knows first words, such as back and refresh, that no rule reads)."""
    from vantor.engine.runner.actions import unreadable_reason

    report = reader.validate_all([step.text for step in script.steps])
    issues = []
    for index, step in enumerate(script.steps, 1):
        found = report.get(index) or []
        if not found:
            try:
                reader.parse(step.text)
            except ValueError as error:
                found = [unreadable_reason(error) + "."]
        issues.extend(f"line {step.line}: {issue}" for issue in found)
    return issues
