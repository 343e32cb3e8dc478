"""Several scripts at once, each in its own worker process.

Options arrive resolved (absolute paths), so a worker reads the same start
folder and writes the same report folders wherever it works. The reporter
writes data/reports/report.html relative to its working folder, so each
worker process is started in data/runs/<script>/ (runner/worker.py) to keep
every script's page apart; this process never changes its own folder.
"""

import contextlib
import html
import os
import signal
import sys
import tempfile
import time
from pathlib import Path

from vantor.engine.runner.files import write_whole
from vantor.engine.runner.outcome import FAILED, NOT_RUN, PASSED, SKIPPED
from vantor.engine.runner.report_folder import folder_name, script_report_folder
from vantor.engine.runner.run import INTERRUPTED, Interrupt, RunResult, not_started
from vantor.engine.runner.worker import Worker

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


def run_many(scripts, options):
    """Runs the scripts, options.workers at a time; returns their results in the order given."""
    workers, runs_root = options.workers, Path(options.runs_root)
    runs_root.mkdir(parents=True, exist_ok=True)
    folders = [(runs_root / name).resolve() for name in output_folder_names(scripts)]
    scripts = [Path(script).resolve() for script in scripts]
    for script in scripts:  # claimed here, in order, so that workers never race for a name
        script_report_folder(options.report_root, script)
    print(f"Running {len(scripts)} scripts with {workers} worker(s); output in {runs_root}/", flush=True)
    results = {}
    interrupt = Interrupt()
    waiting, running, done = list(zip(scripts, folders)), [], 0
    with interrupt.catching(), tempfile.TemporaryDirectory(prefix="vantor-runs-") as exchange:
        forwarded = False
        while waiting or running:
            while waiting and len(running) < workers and not interrupt():
                running.append(Worker.start(*waiting.pop(0), options, exchange))
            if interrupt() and not forwarded:  # running workers stop at their current step
                forwarded = True
                for worker in running:
                    with contextlib.suppress(ProcessLookupError):
                        worker.process.send_signal(signal.SIGINT)
            if interrupt():  # scripts not started yet never start
                for script, _ in waiting:
                    done += 1
                    results[script] = _report_back(None, script, done, len(scripts), interrupt)
                waiting.clear()
            finished = [worker for worker in running if worker.process.poll() is not None]
            for worker in finished:
                done += 1
                results[worker.script] = _report_back(worker, worker.script, done, len(scripts), interrupt)
            running = [worker for worker in running if worker.process.returncode is None]
            if not finished:
                time.sleep(0.05)
    ordered = [results[script] for script in scripts]
    index = write_index(ordered, runs_root)
    print(f"\nIndex of reports: {index}", flush=True)
    print(totals_line(ordered), flush=True)
    return ordered


def _report_back(worker, script, done, total, interrupt):
    """The script's result, with what its worker printed (worker None: a script that never started)."""
    if worker is None:
        result, output = not_started(script), ""
    else:
        try:
            result, output = worker.result()
        except Exception as error:  # a worker ended (by Ctrl-C, or killed) before it could report
            result = RunResult(str(script), INTERRUPTED if interrupt() else 3, problem=f"the worker ended: {error}")
            output = ""
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


def write_index(results, runs_root):
    rows = []
    for result in results:
        name = html.escape(Path(result.script).name)
        status = STATUS_WORDS.get(result.code, "failed")
        colour = "#1e7d32" if result.code == 0 else "#b3261e"
        link = name
        if result.report:
            relative = Path(os.path.relpath(result.report, runs_root.resolve())).as_posix()
            link = f'<a href="{html.escape(relative)}">{name}</a>'
        rows.append(f'<tr><td>{link}</td><td style="color:{colour}">{status}</td>'
                    f"<td>{result.passed}</td><td>{result.failed}</td></tr>")
    page = ("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"UTF-8\">\n<title>Test runs</title>\n"
            "<style>body{font-family:sans-serif;margin:32px}td,th{padding:6px 14px;text-align:left}</style>\n"
            "</head>\n<body>\n<h1>Test runs</h1>\n<table>\n"
            "<tr><th>Script</th><th>Result</th><th>Passed</th><th>Failed</th></tr>\n"
            + "\n".join(rows) + "\n</table>\n</body>\n</html>\n")
    return write_whole(runs_root / INDEX_NAME, page).resolve()
