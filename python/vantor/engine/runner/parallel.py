"""Several scripts at once: each in a worker process of its own, in its own
output folder (data/runs/<script>/), with an index page linking every report."""

import contextlib
import html
import io
import multiprocessing
import os
import re
import sys
from concurrent.futures import ProcessPoolExecutor, as_completed
from pathlib import Path

from vantor.engine.runner.run import RunResult, run_script

RUNS_DIR = Path("data/runs")
INDEX_NAME = "index.html"
STATUS_WORDS = {0: "passed", 1: "failed", 2: "not run: bad script", 3: "not run: no browser or page"}


def output_folder_names(scripts):
    """A folder name per script: its file name, made unique when two scripts share one."""
    names, seen = [], {}
    for script in scripts:
        base = re.sub(r"[^\w.-]+", "_", Path(script).stem) or "script"
        seen[base] = seen.get(base, 0) + 1
        names.append(base if seen[base] == 1 else f"{base}-{seen[base]}")
    return names


def _run_in_folder(script, folder, options):
    """Worker: runs one script inside its folder; returns the result and what it printed."""
    folder.mkdir(parents=True, exist_ok=True)
    os.chdir(folder)
    captured = io.StringIO()
    with contextlib.redirect_stdout(captured), contextlib.redirect_stderr(captured):
        try:
            result = run_script(Path(script), options)
        except Exception as error:  # a worker must always report back
            print(f"error: {type(error).__name__}: {error}")
            result = RunResult(str(script), 3)
    return result, captured.getvalue()


def run_many(scripts, options, workers):
    RUNS_DIR.mkdir(parents=True, exist_ok=True)
    folders = [(RUNS_DIR / name).resolve() for name in output_folder_names(scripts)]
    scripts = [Path(script).resolve() for script in scripts]
    print(f"Running {len(scripts)} scripts with {workers} worker(s); output in {RUNS_DIR}/", flush=True)
    results = {}
    context = multiprocessing.get_context("spawn")  # a browser driver does not survive fork
    with ProcessPoolExecutor(max_workers=workers, mp_context=context) as pool:
        futures = {pool.submit(_run_in_folder, script, folder, options): script
                   for script, folder in zip(scripts, folders)}
        for done, future in enumerate(as_completed(futures), 1):
            script = futures[future]
            result, output = future.result()
            results[script] = result
            print(f"\n[{done}/{len(scripts)}] {script.name}: {STATUS_WORDS.get(result.code, 'failed')}"
                  f" ({result.passed} passed, {result.failed} failed)", flush=True)
            sys.stdout.write(output)
            sys.stdout.flush()
    ordered = [results[script] for script in scripts]
    index = write_index(ordered, folders)
    print(f"\nIndex of reports: {index}", flush=True)
    return max(result.code for result in ordered)


def write_index(results, folders):
    rows = []
    for result, folder in zip(results, folders):
        name = html.escape(Path(result.script).name)
        status = STATUS_WORDS.get(result.code, "failed")
        colour = "#1e7d32" if result.code == 0 else "#b3261e"
        link = name
        if result.report:
            relative = Path(result.report).relative_to(RUNS_DIR.resolve()).as_posix()
            link = f'<a href="{html.escape(relative)}">{name}</a>'
        rows.append(f'<tr><td>{link}</td><td style="color:{colour}">{status}</td>'
                    f"<td>{result.passed}</td><td>{result.failed}</td></tr>")
    page = ("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"UTF-8\">\n<title>Test runs</title>\n"
            "<style>body{font-family:sans-serif;margin:32px}td,th{padding:6px 14px;text-align:left}</style>\n"
            "</head>\n<body>\n<h1>Test runs</h1>\n<table>\n"
            "<tr><th>Script</th><th>Result</th><th>Passed</th><th>Failed</th></tr>\n"
            + "\n".join(rows) + "\n</table>\n</body>\n</html>\n")
    index = RUNS_DIR / INDEX_NAME
    temporary = index.with_suffix(".tmp")
    temporary.write_text(page, encoding="utf-8")
    temporary.replace(index)
    return index.resolve()
