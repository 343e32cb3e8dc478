"""Waiting for the page: its load state, then a settle observed in the page itself.

A settle ends once the DOM has seen no mutation for QUIET_MS, or after CAP_MS,
since pages with clocks, spinners or animations never go quiet; the step's
retry loop does the rest. The observer lives in the page and is polled there
by Playwright's wait_for_function, whose timeout also bounds the call: a page
whose document no longer answers (a navigation the server never answers)
fails the wait instead of hanging the next evaluate.
"""

import itertools
import time

from playwright.sync_api import Error as PlaywrightError

QUIET_MS = 100
CAP_MS = 1000
# How long to wait for the load event before going on with a document that is
# already parsed: a resource that never loads (an image, a tracker) must not
# hold every step for its whole timeout.
LOAD_CAP_MS = 2000
_POLL_MS = 25

# One observer per settle: a new token starts a new one, even on the same document.
_SETTLE_JS = """(a) => {
  let s = window.__vantorSettle;
  if (!s || s.token !== a.token) {
    const now = performance.now();
    s = window.__vantorSettle = { token: a.token, start: now, last: now };
    s.observer = new MutationObserver(() => { s.last = performance.now(); });
    s.observer.observe(document, { subtree: true, childList: true, attributes: true, characterData: true });
  }
  const now = performance.now();
  if (now - s.last >= a.quiet || now - s.start >= a.cap) {
    s.observer.disconnect();
    return true;
  }
  return false;
}"""

_tokens = itertools.count(1)


class PageNotAnswering(Exception):
    """The page did not answer within the time left to the step."""

    def __init__(self, budget_ms):
        super().__init__(f"the page did not answer within {budget_ms} ms")
        self.budget_ms = budget_ms

    @property
    def hung(self):
        """Long enough for any page to answer: a navigation is stuck, not merely slow."""
        return self.budget_ms > CAP_MS


def settle(page, timeout_ms):
    """Waits for the load state and a quiet DOM; returns the milliseconds spent."""
    started = time.monotonic()
    budget = max(1, int(timeout_ms))
    try:
        page.wait_for_load_state("domcontentloaded", timeout=budget)
        try:
            page.wait_for_load_state("load", timeout=max(1, min(LOAD_CAP_MS, budget - elapsed_ms(started))))
        except PlaywrightError:
            pass  # parsed but still loading: the settle and the step's retries take it from here
        left = max(1, budget - elapsed_ms(started))
        page.wait_for_function(_SETTLE_JS, arg={"token": next(_tokens), "quiet": QUIET_MS, "cap": CAP_MS},
                               polling=_POLL_MS, timeout=left)
    except PlaywrightError as error:
        if "Timeout" in str(error).split("\n", 1)[0]:
            raise PageNotAnswering(budget) from None
        raise
    return elapsed_ms(started)


def stop_loading(page):
    """Abandons a navigation that is still pending, so the document shown answers again."""
    try:
        session = page.context.new_cdp_session(page)
        session.send("Page.stopLoading")
        session.detach()
    except PlaywrightError:
        pass  # not Chromium, or the page is gone: nothing to stop


def elapsed_ms(started):
    return int((time.monotonic() - started) * 1000)
