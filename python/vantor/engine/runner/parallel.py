"""Several scripts at once, each in its own worker process.

Options arrive resolved (absolute paths), so a worker reads the same start
folder and writes the same report folders wherever it works. The reporter
writes data/reports/report.html relative to its working folder, so each worker
works in data/runs/<script>/ to keep every script's page apart.
"""

import contextlib
import html
import io
import multiprocessing
import os
import signal
import sys
from concurrent.futures import FIRST_COMPLETED, ProcessPoolExecutor, wait
from pathlib import Path

from vantor.engine.runner.outcome import FAILED, NOT_RUN, PASSED, SKIPPED, StepOutcome
from vantor.engine.runner.report_folder import folder_name, script_report_folder
from vantor.engine.runner.run import INTERRUPTED, Interrupt, RunResult, run_script
from vantor.engine.runner.script import ScriptError, read_script

RUNS_DIR = Path("data/runs")
INDEX_NAME = "index.html"
STATUS_WORDS = {0: "passed", 1: "failed", 2: "not run: bad script", 3: "not run: no browser or page",
                130: "interrupted"}


def output_folder_names(scripts):
    """A folder name per script: its file name, made unique when two scripts share one."""
    names, seen = [], {}
    for script in scripts:
        base = folder_name(script)
        seen[base] = seen.get(base, 0) + 1
        names.append(base if seen[base] == 1 else f"{base}-{seen[base]}")
    return names


_stop = None  # in a worker: the Event the parent sets on Ctrl-C


def _start_worker(stop):
    global _stop
    _stop = stop


def _run_in_folder(script, folder, options):
    """Worker: runs one script inside its folder; returns the result and what it printed."""
    if _stop is not None and _stop.is_set():
        return not_started(script), ""
    folder.mkdir(parents=True, exist_ok=True)
    os.chdir(folder)
    captured = io.StringIO()
    with contextlib.redirect_stdout(captured), contextlib.redirect_stderr(captured):
        try:
            result = run_script(Path(script), options, Interrupt(_stop))
        except Exception as error:  # a worker must always report back
            print(f"error: {type(error).__name__}: {error}")
            result = RunResult(str(script), 3, problem=str(error))
    return result, captured.getvalue()


def not_started(script):
    """A script an interrupt kept from starting: every step not run."""
    try:
        steps = read_script(script).steps
    except ScriptError:
        steps = []
    outcomes = [StepOutcome(step.line, step.text, NOT_RUN) for step in steps]
    return RunResult(str(script), INTERRUPTED, outcomes=outcomes, problem="not started: interrupted")


def run_many(scripts, options, workers):
    """Runs the scripts; returns their results in the order given."""
    RUNS_DIR.mkdir(parents=True, exist_ok=True)
    folders = [(RUNS_DIR / name).resolve() for name in output_folder_names(scripts)]
    scripts = [Path(script).resolve() for script in scripts]
    for script in scripts:  # claimed here, in order, so that workers never race for a name
        script_report_folder(options.report_root, script)
    print(f"Running {len(scripts)} scripts with {workers} worker(s); output in {RUNS_DIR}/", flush=True)
    results = {}
    context = multiprocessing.get_context("spawn")  # a browser driver does not survive fork
    stop = context.Event()
    interrupt = Interrupt(stop)
    with interrupt.catching(), ProcessPoolExecutor(max_workers=workers, mp_context=context,
                                                   initializer=_start_worker, initargs=(stop,)) as pool:
        futures = {pool.submit(_run_in_folder, script, folder, options): script
                   for script, folder in zip(scripts, folders)}
        signal.signal(signal.SIGINT, lambda *_: stop.set())  # workers stop at their current step
        pending, done = set(futures), 0
        while pending:
            finished, pending = wait(pending, timeout=0.5, return_when=FIRST_COMPLETED)
            if interrupt():  # scripts not started yet never start
                cancelled = {future for future in pending if future.cancel()}
                finished, pending = finished | cancelled, pending - cancelled
            for future in finished:
                done += 1
                results[futures[future]] = _report_back(future, futures[future], done, len(scripts), interrupt)
    ordered = [results[script] for script in scripts]
    index = write_index(ordered)
    print(f"\nIndex of reports: {index}", flush=True)
    print(totals_line(ordered), flush=True)
    return ordered


def _report_back(future, script, done, total, interrupt):
    """The script's result, with what its worker printed."""
    if future.cancelled():
        return not_started(script)
    try:
        result, output = future.result()
    except Exception as error:  # a worker ended by Ctrl-C before its script began
        result, output = RunResult(str(script), INTERRUPTED if interrupt() else 3, problem=str(error)), ""
    print(f"\n[{done}/{total}] {script.name}: {STATUS_WORDS.get(result.code, 'failed')}"
          f" ({result.passed} passed, {result.failed} failed)", flush=True)
    sys.stdout.write(output)
    sys.stdout.flush()
    return result


def totals_line(results):
    codes = [result.code for result in results]
    steps = [outcome for result in results for outcome in result.outcomes]
    counts = {status: sum(1 for outcome in steps if outcome.status == status)
              for status in (PASSED, FAILED, SKIPPED, NOT_RUN)}
    scripts = (f"{len(results)} scripts: {codes.count(0)} passed, {sum(1 for c in codes if c != 0)} not passed")
    return f"Totals: {scripts}; {len(steps)} steps: " + ", ".join(f"{n} {status}" for status, n in counts.items())


def write_index(results):
    rows = []
    for result in results:
        name = html.escape(Path(result.script).name)
        status = STATUS_WORDS.get(result.code, "failed")
        colour = "#1e7d32" if result.code == 0 else "#b3261e"
        link = name
        if result.report:
            relative = Path(os.path.relpath(result.report, RUNS_DIR.resolve())).as_posix()
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
