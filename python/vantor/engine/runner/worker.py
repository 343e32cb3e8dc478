"""One script of a parallel run, in a process of its own: python -m
vantor.engine.runner.worker RESULT_FILE, started in the script's output folder,
where the reporter writes its data/reports/report.html.

It reads the script and the run's options, pickled, from standard input and
leaves the pickled pair (result, what the run printed) in RESULT_FILE.
"""

import contextlib
import io
import pickle
import signal
import sys
from pathlib import Path

from vantor.engine.runner.parallel import not_started
from vantor.engine.runner.run import NO_BROWSER, Interrupt, RunResult, run_script


def main(result_file):
    interrupt = Interrupt()
    signal.signal(signal.SIGINT, interrupt.request)  # a Ctrl-C from here on ends the run, not the process
    script, options = pickle.load(sys.stdin.buffer)
    captured = io.StringIO()
    if interrupt():
        result = not_started(script)
    else:
        with contextlib.redirect_stdout(captured), contextlib.redirect_stderr(captured):
            try:
                result = run_script(Path(script), options, interrupt)
            except Exception as error:  # a worker must always report back
                print(f"error: {type(error).__name__}: {error}")
                result = RunResult(str(script), NO_BROWSER, problem=str(error))
    Path(result_file).write_bytes(pickle.dumps((result, captured.getvalue())))


if __name__ == "__main__":
    main(sys.argv[1])
