"""A Playwright browser server on this machine, for `run --connect`.

The playwright package ships its driver (a Node.js runtime and Playwright's
library); its own `run-server` launches the browser build it would download,
which is not to be had here, so this starts the library's launchServer with
Debian's Chromium instead and hands back the WebSocket endpoint to connect to.
"""

import contextlib
import json
import subprocess
import sys
import threading
from pathlib import Path

from vantor.engine.runner.browser import DEBIAN_CHROMIUM, BrowserUnavailable

# Prints the endpoint as one JSON line, then serves until its standard input closes.
_LAUNCH_JS = """
const playwright = require(process.argv[1]);
const options = JSON.parse(process.argv[2]);
playwright.chromium.launchServer(options).then((server) => {
  process.stdout.write(JSON.stringify({ endpoint: server.wsEndpoint() }) + "\\n");
  process.stdin.resume();
  process.stdin.on("end", () => server.close().then(() => process.exit(0)));
}, (error) => { process.stdout.write(JSON.stringify({ error: String(error.message || error) }) + "\\n"); process.exit(1); });
"""


def driver_paths():
    """The Node.js runtime and the Playwright library inside the playwright package."""
    from playwright._impl._driver import compute_driver_executable

    node, cli = compute_driver_executable()
    return node, str(Path(cli).parent)


@contextlib.contextmanager
def browser_server(browser_path=DEBIAN_CHROMIUM, host="127.0.0.1", port=0):
    """Starts a browser server; yields its ws:// endpoint and stops it on exit."""
    node, library = driver_paths()
    options = {"executablePath": str(browser_path), "args": ["--no-sandbox"], "headless": True, "host": host,
               "port": port}
    process = subprocess.Popen([node, "-e", _LAUNCH_JS, library, json.dumps(options)], stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, text=True)
    try:
        answer = json.loads(process.stdout.readline() or '{"error": "the driver ended without an answer"}')
        if "error" in answer:
            raise BrowserUnavailable(f"cannot start a browser server with {browser_path}: {answer['error']}")
        yield answer["endpoint"]
    finally:
        with contextlib.suppress(OSError):
            process.stdin.close()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def serve(browser_path, host, port):
    """`python -m vantor.engine browser-server`: serves until Ctrl-C."""
    try:
        with browser_server(browser_path, host, port) as endpoint:
            print(f"Browser server: {endpoint}", flush=True)
            print("Run scripts on it with: python -m vantor.engine run SCRIPT --url URL --connect " + endpoint,
                  flush=True)
            with contextlib.suppress(KeyboardInterrupt):
                threading.Event().wait()
    except BrowserUnavailable as error:
        print(f"error: {error}", file=sys.stderr)
        return 3
    return 0
