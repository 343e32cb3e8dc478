"""The browser side of a run: starting Chromium (or connecting to a remote one),
serving a local start page on 127.0.0.1, and answering dialogs."""

import contextlib
import functools
import http.server
import shutil
import threading
from pathlib import Path
from urllib.parse import urlparse

DEBIAN_CHROMIUM = "/usr/bin/chromium"
INSTALL_HINT = ("install one with 'apt-get install chromium' (Debian) or 'python -m playwright install chromium', "
                "or name one with --browser-path")


class BrowserUnavailable(Exception):
    """No browser could be started or reached; the message says how to get one."""


class PageUnreachable(Exception):
    """The start page could not be opened."""


def default_browser_path():
    """Debian's Chromium when present; otherwise None, which lets Playwright use its own browser."""
    if Path(DEBIAN_CHROMIUM).exists():
        return DEBIAN_CHROMIUM
    return shutil.which("chromium")


def first_line(error):
    text = str(error).strip()
    return text.splitlines()[0] if text else type(error).__name__


@contextlib.contextmanager
def open_browser(playwright, browser_path=None, headed=False, connect=None):
    """A Chromium browser: launched locally, or the remote Playwright server at `connect`."""
    from playwright.sync_api import Error as PlaywrightError

    try:
        if connect:
            browser = playwright.chromium.connect(connect)
        else:
            options = {"headless": not headed, "args": ["--no-sandbox"]}
            if browser_path:
                options["executable_path"] = str(browser_path)
            browser = playwright.chromium.launch(**options)
    except PlaywrightError as error:
        where = f"the browser server at {connect}" if connect else f"Chromium ({browser_path or 'Playwright own'})"
        hint = "" if connect else f"; {INSTALL_HINT}"
        raise BrowserUnavailable(f"cannot start {where}: {first_line(error)}{hint}") from None
    try:
        yield browser
    finally:
        with contextlib.suppress(PlaywrightError):
            browser.close()


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


@contextlib.contextmanager
def start_url(location):
    """The URL to open for --url: http(s) as given; a local folder or file served on 127.0.0.1."""
    if urlparse(location).scheme in ("http", "https"):
        yield location
        return
    path = Path(location)
    if not path.exists():
        raise PageUnreachable(f"cannot open {location}: no such file or folder, and not an http(s) URL")
    folder, page = (path, "") if path.is_dir() else (path.parent, path.name)
    handler = functools.partial(_QuietHandler, directory=str(folder.resolve()))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield f"http://127.0.0.1:{server.server_address[1]}/{page}"
    finally:
        server.shutdown()
        server.server_close()


def open_page(browser, url, timeout_ms):
    from playwright.sync_api import Error as PlaywrightError

    page = browser.new_page()
    page.set_default_timeout(timeout_ms)
    try:
        response = page.goto(url, wait_until="load")
    except PlaywrightError as error:
        raise PageUnreachable(f"cannot open {url}: {first_line(error)}") from None
    if response is not None and response.status >= 400:
        raise PageUnreachable(f"cannot open {url}: the server answered {response.status}")
    return page


class Dialogs:
    """Answers the page's dialogs: the next one as the script said (accept or
    dismiss), any other dismissed as the browser would; remembers the last text."""

    def __init__(self, page):
        self.last_message = None
        self._next_answer = None
        page.on("dialog", self._answer)

    def answer_next(self, answer):
        self._next_answer = answer

    def _answer(self, dialog):
        self.last_message = dialog.message
        answer, self._next_answer = self._next_answer or "dismiss", None
        if answer == "accept":
            dialog.accept()
        else:
            dialog.dismiss()
