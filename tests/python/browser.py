"""Real-browser fixtures: Debian's Chromium driven by Playwright, pages served on 127.0.0.1.

Import the fixtures into a test module with ``from browser import chromium, page, serve``
(conftest.py puts this folder on the path). Tests that need a browser skip with the
reason when no Chromium can be had; CI installs one, so they run there.
"""

import functools
import http.server
import shutil
import threading
from pathlib import Path

import pytest

CHROMIUM_CANDIDATES = ("/usr/bin/chromium", "/usr/bin/chromium-browser")


def chromium_path():
    for candidate in CHROMIUM_CANDIDATES:
        if Path(candidate).exists():
            return candidate
    return shutil.which("chromium")


# One browser per test session. Test modules import the fixtures, which makes
# each module's `chromium` a fixture of its own; they all share this browser,
# since one process can run only one Playwright at a time.
_shared = {"users": 0}


@pytest.fixture(scope="session")
def chromium():
    """One headless Chromium for the whole session."""
    sync_api = pytest.importorskip("playwright.sync_api", reason="the playwright package is not installed")
    executable = chromium_path()
    if executable is None:
        pytest.skip("no Chromium here: install Debian's chromium (scripts/bootstrap --tests does)")
    if _shared["users"] == 0:
        _shared["playwright"] = sync_api.sync_playwright().start()
        _shared["browser"] = _shared["playwright"].chromium.launch(
            executable_path=executable, headless=True, args=["--no-sandbox"])
    _shared["users"] += 1
    yield _shared["browser"]
    _shared["users"] -= 1
    if _shared["users"] == 0:
        _shared.pop("browser").close()
        _shared.pop("playwright").stop()


@pytest.fixture
def page(chromium):
    """A fresh page in its own context, closed after the test."""
    context = chromium.new_context(viewport={"width": 1280, "height": 800})
    page = context.new_page()
    yield page
    context.close()


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


@pytest.fixture(scope="session")
def serve():
    """serve(folder) -> base URL of a static server for that folder on 127.0.0.1."""
    servers = []

    def start(folder):
        handler = functools.partial(_QuietHandler, directory=str(folder))
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        servers.append(server)
        return f"http://127.0.0.1:{server.server_address[1]}/"

    yield start
    for server in servers:
        server.shutdown()
        server.server_close()
