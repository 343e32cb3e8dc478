"""Everything a run is told, from the command line down to each step, in one record."""

from dataclasses import dataclass
from pathlib import Path
from urllib.parse import urlparse

DEFAULT_TIMEOUT_MS = 5000
DEFAULT_REPORT_ROOT = Path("data/reports")


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

    def resolved(self):
        """The same options with every local path made absolute, so that a worker
        process in another folder reads the same files and writes the same places."""
        url = self.url if is_web_address(self.url) else str(Path(self.url).resolve())
        browser_path = str(Path(self.browser_path).resolve()) if self.browser_path else None
        return RunOptions(url=url, browser_path=browser_path, headed=self.headed, connect=self.connect,
                          snapshots=self.snapshots, stop_on_failure=self.stop_on_failure,
                          timeout_ms=self.timeout_ms, report_root=Path(self.report_root).resolve(),
                          serve_host=self.serve_host, strategies=self.strategies)


def is_web_address(location):
    return urlparse(location).scheme in ("http", "https")
