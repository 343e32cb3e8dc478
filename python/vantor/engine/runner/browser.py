"""The browser side of a run: starting Chromium (or connecting to a remote one),
serving a local start page on 127.0.0.1, and answering dialogs."""

import contextlib
import functools
import os
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

    if not connect:
        refuse_unstartable(browser_path, headed)
    try:
        if connect:
            browser = playwright.chromium.connect(connect)
        else:
            options = {"headless": not headed, "args": ["--no-sandbox"]}
            if browser_path:
                options["executable_path"] = str(browser_path)
            browser = playwright.chromium.launch(**options)
    except PlaywrightError as error:
        raise BrowserUnavailable(why_not_started(error, browser_path, connect)) from None
    try:
        yield browser
    finally:
        with contextlib.suppress(PlaywrightError):
            browser.close()


def refuse_unstartable(browser_path, headed):
    """The reasons a launch cannot work, found before trying it."""
    if headed and not (os.environ.get("DISPLAY") or os.environ.get("WAYLAND_DISPLAY")):
        raise BrowserUnavailable("cannot show a browser window (--headed): no display here (DISPLAY is not set); "
                                 "run under xvfb-run, or leave out --headed")
    if browser_path:
        path = Path(browser_path)
        if not path.exists():
            raise BrowserUnavailable(f"no browser at {browser_path} (--browser-path): no such file; {INSTALL_HINT}")
        if path.is_dir() or not os.access(path, os.X_OK):
            raise BrowserUnavailable(f"{browser_path} (--browser-path) is not a program that can be run")


def why_not_started(error, browser_path, connect):
    text = str(error)
    if connect:
        return f"cannot reach the browser server at {connect}: {first_line(error)}"
    if browser_path:
        return (f"{browser_path} (--browser-path) did not start as Chromium: {first_line(error)}")
    if "Executable doesn't exist" in text or "playwright install" in text:
        return f"no Chromium found: {INSTALL_HINT}"
    return f"cannot start Playwright's own Chromium: {first_line(error)}"


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


@contextlib.contextmanager
def start_url(location, host="127.0.0.1", remote=False):
    """The URL to open for --url: http(s) as given; a local folder or file served on `host`
    (127.0.0.1 by default; a remote browser needs an address it can reach, --serve-host)."""
    if urlparse(location).scheme in ("http", "https"):
        yield location
        return
    path = Path(location)
    if not path.exists():
        raise PageUnreachable(f"cannot open {location}: no such file or folder, and not an http(s) URL")
    folder, page = (path, "") if path.is_dir() else (path.parent, path.name)
    handler = functools.partial(_QuietHandler, directory=str(folder.resolve()))
    server = http.server.ThreadingHTTPServer((host, 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    address = f"[{host}]" if ":" in host else host
    if remote and host in ("127.0.0.1", "localhost", "::1"):
        print(f"note: {location} is served on {host}, which only a browser on this machine can reach; "
              "give --serve-host an address the remote browser can reach if it runs elsewhere", flush=True)
    try:
        yield f"http://{address}:{server.server_address[1]}/{page}"
    finally:
        server.shutdown()
        server.server_close()


def open_page(browser, url, timeout_ms):
    from playwright.sync_api import Error as PlaywrightError

    page = browser.new_page(accept_downloads=True)
    page.set_default_timeout(timeout_ms)
    try:
        response = page.goto(url, wait_until="domcontentloaded", timeout=max(timeout_ms, 30000))
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
