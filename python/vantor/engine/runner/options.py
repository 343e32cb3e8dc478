"""Everything a run is told, from the command line down to each step, in one record."""

import contextlib
from dataclasses import dataclass, replace
from pathlib import Path
from urllib.parse import urlparse

from vantor.engine import settings

DEFAULT_TIMEOUT_MS = 5000
DEFAULT_REPORT_ROOT = Path("data/reports")
DEFAULT_RUNS_ROOT = Path("data/runs")


@dataclass
class RunOptions:
    url: str
    browser_path: str | None = None
    headed: bool = False
    connect: str | None = None
    snapshots: bool = False
    stop_on_failure: bool = False
    timeout_ms: int = DEFAULT_TIMEOUT_MS
    # Where each script's own report folder goes (one folder per script, named after it).
    report_root: Path = DEFAULT_REPORT_ROOT
    # The address a local --url folder is served on: 127.0.0.1 unless a remote browser must reach it.
    serve_host: str = "127.0.0.1"
    # Which strategies find elements: "role" (the role matcher first, then text matching
    # and spatial) or "text" (text matching, then spatial, alone).
    strategies: str = "role"
    # How many scripts run at once, each in its own process, and where they work:
    # one folder per script under runs_root, beside the index of their reports.
    workers: int = 1
    runs_root: Path = DEFAULT_RUNS_ROOT

    def resolved(self):
        """The same options with every local path made absolute, so that a worker
        process in another folder reads the same files and writes the same places."""
        url = self.url if is_web_address(self.url) else str(Path(self.url).resolve())
        browser_path = str(Path(self.browser_path).resolve()) if self.browser_path else None
        return replace(self, url=url, browser_path=browser_path, report_root=Path(self.report_root).resolve(),
                       runs_root=Path(self.runs_root).resolve())


@contextlib.contextmanager
def scanner_settings(options):
    """The page scanner reads the host's settings module at every scan; a run sets
    it from its options here, and only here, and puts back what stood before."""
    before = settings.SAVE_SNAPSHOTS
    settings.SAVE_SNAPSHOTS = options.snapshots
    try:
        yield
    finally:
        settings.SAVE_SNAPSHOTS = before


def is_web_address(location):
    return urlparse(location).scheme in ("http", "https")
