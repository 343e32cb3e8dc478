"""One script in a process of its own, started in the folder where the
reporter is to write its data/reports/report.html (the reporter writes there
relative to its working folder): python -m vantor.engine.runner.worker RESULT_FILE.

The worker reads the script and the run's options, pickled, from standard
input and leaves the pickled pair (result, what the run printed) in RESULT_FILE.
"""

import contextlib
import io
import pickle
import signal
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

from vantor.engine.runner.run import NO_BROWSER, Interrupt, RunResult, not_started, run_script


@dataclass
class Worker:
    """One script's process, and the file it leaves its result in."""
    script: Path
    process: subprocess.Popen
    result_file: Path

    @classmethod
    def start(cls, script, folder, options, exchange):
        folder.mkdir(parents=True, exist_ok=True)
        result_file = Path(exchange) / f"{folder.name}.result"
        process = subprocess.Popen([sys.executable, "-m", "vantor.engine.runner.worker", str(result_file)],
                                   cwd=folder, stdin=subprocess.PIPE)
        try:
            process.stdin.write(pickle.dumps((script, options)))
            process.stdin.close()
        except BrokenPipeError:  # it ended at once (a Ctrl-C as it started): seen as having no result
            pass
        return cls(script, process, result_file)

    def result(self):
        """The worker's result and what it printed; raises when it left none."""
        return pickle.loads(self.result_file.read_bytes())


def run_in_folder(script, options, folder):
    """Runs one script in a worker working in folder; returns (result, what it printed).
    A Ctrl-C here also reaches the worker, which stops at its current step and reports."""
    with tempfile.TemporaryDirectory(prefix="vantor-run-") as exchange:
        worker = Worker.start(Path(script), Path(folder), options, exchange)
        try:
            worker.process.wait()
        except KeyboardInterrupt:
            worker.process.send_signal(signal.SIGINT)
            worker.process.wait()
            raise
        return worker.result()


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
