"""Running the command-line runner from tests: scripts from lines, the outcome records back."""

import json
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
PAGES = ROOT / "tests" / "pages" / "runner"
APP = PAGES / "app.html"


def write_script(folder, name, lines):
    path = Path(folder) / name
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")
    return path


def engine_cli(*args, cwd=None, timeout=300):
    """`python -m vantor.engine ARGS...`, its output captured."""
    return subprocess.run([sys.executable, "-m", "vantor.engine", *map(str, args)], capture_output=True,
                          text=True, cwd=cwd, timeout=timeout)


def run_cli(*args, cwd, timeout=300):
    """`python -m vantor.engine run ARGS...`."""
    return engine_cli("run", *args, cwd=cwd, timeout=timeout)


def run_steps(folder, lines, *args, url=APP):
    """Runs the lines as one script on `url`; returns the process and its steps' outcome records."""
    script = write_script(folder, "steps.steps", lines)
    outcomes = Path(folder) / "outcomes.json"
    completed = run_cli(script, "--url", url, "--json", outcomes, *args, cwd=folder)
    steps = json.loads(outcomes.read_text(encoding="utf-8"))[0]["steps"] if outcomes.exists() else []
    return completed, steps


def statuses(steps):
    return [step["status"] for step in steps]
