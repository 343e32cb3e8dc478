"""Runs one step on a page and says what happened: the modules decide what and
where, this class waits for the page, acts in it, and retries.

An element step scans and resolves again until its target resolves and the
element can take the action, or the step's time runs out; a check is asked
again until it holds. A step that cannot be read is not retried. Whatever a
step raises is that step's failure with its reason, never the run's end.
Each step is logged once, with its final outcome, to the reporter.
"""

import re
import time
from dataclasses import dataclass, field
from types import MappingProxyType

from playwright.sync_api import Error as PlaywrightError

from vantor.engine.agent.stepreader import StepReader
from vantor.engine.browser.pagescanner import PageScanner
from vantor.engine.runner import widgets
from vantor.engine.runner.actions import CHECK, ELEMENT, KIND_OF, LOOK_UP, NEEDS_ENABLED, TEXT_CHECK, unreadable_reason
from vantor.engine.runner.candidates import closest
from vantor.engine.runner.keys import key_combination
from vantor.engine.runner.options import DEFAULT_TIMEOUT_MS
from vantor.engine.runner.outcome import FAILED, PASSED, ElementSeen, StepOutcome, cut
from vantor.engine.runner.policy import (
    SPATIAL_STRATEGY, TEXT_STRATEGY, PageFacts, Strategy, answer, decide, needs_facts,
)
from vantor.engine.runner.policy import text_first_policy
from vantor.engine.runner.script import Step
from vantor.engine.runner.waiting import QUIET_MS, PageNotAnswering, elapsed_ms, settle, stop_loading
from vantor.engine.strategies.textmatcher import TextMatcher

BROWSER_STRATEGY = "browser"
# The reporter's indentation for the lines under a step.
DETAIL_INDENT = "         "
# Call-log lines that say what the browser did, not why it could not.
_LOG_NOISE = re.compile(r"^(retrying|waiting \d+ms|attempting|scrolling into view|done scrolling|"
                        r"waiting for element to be visible|element is visible, enabled and stable)")
_LOG_COUNT = re.compile(r"^\d+ × ")
# The least time a settle is given, even at the end of a step.
_LAST_TRY_MS = QUIET_MS + 50
_OUTLINE_STYLE = "[data-vantor-outline]{outline:3px solid #d1242f !important;outline-offset:2px !important}"


@dataclass
class Attempt:
    """One try at a step. `final` means trying again cannot change the answer."""
    passed: bool
    final: bool = False
    kind: str = "element"  # element | check | browser
    strategy: str = ""
    element: dict | None = None
    results: dict = field(default_factory=dict)
    state: dict | None = None
    extracted: str | None = None
    reason: str = ""
    target: str = ""
    elements: list = field(default_factory=list)
    page_busy: bool = False  # the page did not settle in the time left

    @property
    def deciding_result(self):
        return self.results.get(self.strategy) or {}


class StepRunner:
    """Runs steps on one page. `policy` is the ordered list of strategies for element
    steps; `checkers` the strategies that answer checks and look-ups, in turn (text
    matching alone by default; `checker` gives one); `screenshots` the folder for
    failure screenshots (None: take none)."""

    def __init__(self, page, options=None, reporter=None, dialogs=None, policy=None, screenshots=None,
                 interrupted=lambda: False, checker=None, checkers=None):
        self.page = page
        self.timeout_ms = options.timeout_ms if options is not None else DEFAULT_TIMEOUT_MS
        self.reporter = reporter
        self.dialogs = dialogs
        self.policy = policy if policy is not None else text_first_policy()
        self.screenshots = screenshots
        self.interrupted = interrupted
        self.reader = StepReader()
        self.checkers = checkers or [checker or Strategy(TEXT_STRATEGY, TextMatcher().resolve)]
        # The page facts are gathered in the same scan, only when a strategy reads them.
        self._with_facts = needs_facts(self.policy) or needs_facts(self.checkers)
        self._facts = None
        self._acting_on = None

    def run(self, step):
        """Runs one step (a Step, or a line of text) and returns its outcome."""
        step = step if isinstance(step, Step) else Step(0, step)
        started = time.monotonic()
        self._deadline = started + self.timeout_ms / 1000
        try:
            parsed = self.reader.parse(step.text)
        except ValueError as error:
            attempt = Attempt(False, final=True, kind="browser",
                              reason=f"cannot read the step: {unreadable_reason(error)}")
            return self._finish(step, None, attempt, started, started, 0, 0)
        attempts, final_started, settled, attempt = 0, started, 0, None
        while True:
            attempts += 1
            final_started, self._settled_ms, self._acting_on = time.monotonic(), 0, None
            previous, attempt = attempt, self._try(parsed)
            settled = self._settled_ms
            if attempt.page_busy and previous is not None:
                attempt = previous  # the last real verdict says more than a wait cut short
                break
            if attempt.passed or attempt.final or time.monotonic() >= self._deadline or self.interrupted():
                break
        waited = elapsed_ms(started) - elapsed_ms(final_started) + settled
        return self._finish(step, parsed, attempt, started, final_started, waited, attempts)

    # One attempt.

    def _try(self, parsed):
        action = parsed["action"]
        try:
            kind = KIND_OF[action]
            if kind in (CHECK, TEXT_CHECK):
                return self._check(parsed)
            if kind == LOOK_UP:
                return self._look_up(parsed)
            if kind == ELEMENT:
                return self._act_on_element(parsed)
            return OWN_STEPS[action](self, parsed)  # the browser's and the dialogs' own steps
        except PageNotAnswering as error:
            if error.hung:
                stop_loading(self.page)
            return Attempt(False, final=True, kind="browser", element=self._acting_on, reason=f"browser: {error}",
                           page_busy=True)
        except PlaywrightError as error:
            stop_loading(self.page)
            return Attempt(False, final=True, kind="browser", element=self._acting_on,
                           reason=f"browser: {browser_reason(error)}")
        except Exception as error:  # a module or widget refusing a strange page fails this step only
            return Attempt(False, final=True, kind="browser", element=self._acting_on,
                           reason=f"{type(error).__name__}: {error}")

    def _left_ms(self):
        return max(1, int((self._deadline - time.monotonic()) * 1000))

    def _scan(self):
        # The last try may run a little past the deadline: enough for one quiet window.
        self._settled_ms += settle(self.page, max(self._left_ms(), _LAST_TRY_MS))
        scanner = PageScanner(self.page)
        if self._with_facts:
            elements, texts, facts, unlisted = scanner.extract_page_facts()
            self._facts = PageFacts(facts, unlisted)
            return elements, texts
        return scanner.extract_interactable_elements()

    def _act_on_element(self, parsed):
        elements, texts = self._scan()
        decision = decide(self.policy, parsed, elements, texts, self._facts)
        element = decision.element
        if element is None:
            return Attempt(False, results=decision.results, target=parsed["target"], elements=elements)
        found = Attempt(False, strategy=decision.strategy, element=element, results=decision.results,
                        target=parsed["target"], elements=elements)
        self._acting_on = element
        action = parsed["action"]
        if action == "extract_text":
            found.passed, found.extracted = True, element.get("text") or ""
            return found
        locator = self.page.locator(f"xpath={element['xpath']}")
        behind_view = action == "type" and widgets.field_kind(locator, self._left_ms()) == "editor"
        if not element.get("is_visible", True) and not behind_view:
            found.reason = "the element is not visible"
            return found
        if action in NEEDS_ENABLED and not element.get("is_enabled", True):
            found.reason = "the element is not enabled"
            return found
        if action == "click":
            locator.click(timeout=self._left_ms())
        elif action == "type":
            widgets.type_text(self.page, locator, parsed["value"], self._left_ms())
        elif action == "select":
            if widgets.is_native_select(locator, self._left_ms()):
                widgets.choose_native(locator, parsed["value"], self._left_ms())
            else:
                widgets.choose_in_dropdown(self.page, locator, parsed["value"], self._left_ms())
        else:
            locator.hover(timeout=self._left_ms())
        self._after_action()
        found.passed = True
        return found

    def _check(self, parsed):
        elements, texts = self._scan()
        name, result = answer(self.checkers, parsed, elements, texts, self._facts)
        return Attempt(bool(result.get("verified")), kind="check", strategy=name, element=result.get("element"),
                       results={name: result}, state=result.get("state"), target=parsed["target"],
                       elements=elements + texts)

    def _look_up(self, parsed):
        elements, texts = self._scan()
        name, result = answer(self.checkers, parsed, elements, texts, self._facts)
        return Attempt(bool(result["resolved"]), strategy=name, element=result.get("element"),
                       results={name: result}, extracted=result.get("extracted"), target=parsed["target"],
                       elements=elements + texts)

    def _after_action(self):
        """The page may load or redraw after an action; a page still busy is the next step's to wait for."""
        try:
            self._settled_ms += settle(self.page, self._left_ms())
        except (PageNotAnswering, PlaywrightError):
            pass

    # Steps that need no element.

    def _browser_step(self):
        self._after_action()
        return Attempt(True, final=True, kind="browser", strategy=BROWSER_STRATEGY, element={})

    def _press_key(self, parsed):
        key = parsed["target"]
        self.page.keyboard.press(key_combination(key) or key)
        return self._browser_step()

    def _sendkeys(self, parsed):
        keys = parsed["value"]
        combination = key_combination(keys)
        if combination:
            self.page.keyboard.press(combination)
        else:
            self.page.keyboard.type(keys)
        return self._browser_step()

    def _wait(self, parsed):
        """An explicit pause, cut short only by an interrupt."""
        end = time.monotonic() + int(parsed["target"]) / 1000
        while not self.interrupted() and (left := end - time.monotonic()) > 0:
            self.page.wait_for_timeout(min(200, max(1, int(left * 1000))))
        return Attempt(True, final=True, kind="browser", strategy=BROWSER_STRATEGY, element={})

    def _accept_dialog(self, parsed):
        self.dialogs.answer_next("accept")
        return Attempt(True, final=True, kind="browser", strategy=BROWSER_STRATEGY, element={})

    def _dismiss_dialog(self, parsed):
        self.dialogs.answer_next("dismiss")
        return Attempt(True, final=True, kind="browser", strategy=BROWSER_STRATEGY, element={})

    def _verify_dialog(self, parsed):
        expected = parsed["value"].strip()
        actual = self.dialogs.last_message
        passed = actual is not None and expected.lower() in actual.lower()
        if not passed:
            self.page.wait_for_timeout(min(100, self._left_ms()))
        state = {"expected": expected, "actual": actual if actual is not None else "no dialog was shown"}
        return Attempt(passed, kind="check", element=None, state=state)

    # The outcome: logged once, with what was seen.

    def _finish(self, step, parsed, attempt, started, final_started, waited, attempts):
        outcome = StepOutcome(line=step.line, text=step.text, status=PASSED if attempt.passed else FAILED,
                              action=parsed["action"] if parsed else "", strategy=attempt.strategy if attempt.passed
                              else "", element=ElementSeen.of(attempt.element), extracted=attempt.extracted,
                              reason=attempt.reason, attempts=attempts,
                              rule=str(attempt.deciding_result.get("rule") or ""),
                              ambiguous=bool(attempt.deciding_result.get("ambiguous")))
        if not attempt.passed:
            outcome.reason = outcome.reason or self._verdict(attempt)
            if not attempt.element:
                outcome.candidates = closest(attempt.target, attempt.elements)
            outlined = outcome.element or (outcome.candidates[0].element if outcome.candidates else None)
            outcome.screenshot = self._screenshot(step, outlined.xpath if outlined else "")
        outcome.duration_ms = elapsed_ms(started)
        outcome.waited_ms = min(waited, outcome.duration_ms)
        if self.reporter is not None:
            self._log(outcome, attempt)
        return outcome

    def _verdict(self, attempt):
        if attempt.kind == "check":
            seen = "the last check gave the state shown" if attempt.state else "no element matched"
            return f"not so after {self.timeout_ms} ms: {seen}"
        if attempt.results:
            return f"no strategy resolved the target within {self.timeout_ms} ms"
        return "failed"

    def _log(self, outcome, attempt):
        text, reporter = outcome.text, self.reporter
        if attempt.kind == "check":
            reporter.log_verification(text, outcome.passed, attempt.element, attempt.state or None)
            if not outcome.passed:
                detail("verdict", outcome.reason)
        elif outcome.passed:
            reporter.log_success(text, attempt.strategy, attempt.element or {})
            if outcome.extracted is not None:
                reporter.results[-1]["extracted"] = outcome.extracted
        elif attempt.results and not attempt.element:
            reporter.log_failure(text, attempt.results.get(TEXT_STRATEGY) or {}, attempt.results.get(SPATIAL_STRATEGY))
        else:
            reporter.log_failure(text, {})
            reporter.results[-1]["reasons"] = outcome.reason
            detail("reasons", outcome.reason)
        if outcome.element and outcome.element.tag:
            via = f" via {outcome.strategy}" if outcome.passed and attempt.kind != "check" else ""
            via = via if outcome.passed else " (the element it last saw)"
            detail("element", f"{outcome.element.describe()}{via}")
        if outcome.rule and outcome.passed:
            detail("rule", outcome.rule)
        if outcome.ambiguous:
            rivals = len(attempt.deciding_result.get("candidates") or [])
            detail("warning", f"ambiguous: {rivals} elements matched equally; the first in reading order was used")
        if outcome.extracted is not None:
            detail("value", repr(cut(outcome.extracted, 80)))
        for candidate in outcome.candidates:
            detail("maybe", candidate.describe())
        if outcome.screenshot:
            detail("shot", outcome.screenshot)

    def _screenshot(self, step, xpath):
        if self.screenshots is None:
            return ""
        self.screenshots.mkdir(parents=True, exist_ok=True)
        path = self.screenshots / f"line-{step.line:04d}.png"
        budget = min(2000, self.timeout_ms)
        marked = self.page.locator(f"xpath={xpath}").first if xpath else None
        try:
            if marked is not None:
                marked.evaluate("el => el.setAttribute('data-vantor-outline', '')", timeout=budget)
        except PlaywrightError:
            marked = None
        try:
            self.page.screenshot(path=str(path), full_page=True, timeout=budget * 2, style=_OUTLINE_STYLE)
        except PlaywrightError:
            return ""
        finally:
            if marked is not None:
                try:
                    marked.evaluate("el => el.removeAttribute('data-vantor-outline')", timeout=budget)
                except PlaywrightError:
                    pass
        return str(path)


# The steps the runner does itself, without a strategy: every action of the
# browser and dialog kinds.
OWN_STEPS = MappingProxyType({
    "press_key": StepRunner._press_key,
    "sendkeys": StepRunner._sendkeys,
    "wait": StepRunner._wait,
    "accept_dialog": StepRunner._accept_dialog,
    "dismiss_dialog": StepRunner._dismiss_dialog,
    "verify_dialog": StepRunner._verify_dialog,
})


def detail(name, text):
    print(f"{DETAIL_INDENT}{name:<8}: {text}", flush=True)


def browser_reason(error):
    """The browser's first line, and the line of its call log that says why: the last
    one that is not the browser's own retrying, waiting or scrolling."""
    lines = [line.strip() for line in str(error).strip().splitlines() if line.strip()]
    if not lines:
        return type(error).__name__
    head = lines[0]
    if "Call log:" in lines:
        log = [_LOG_COUNT.sub("", line.lstrip("- ")).strip() for line in lines[lines.index("Call log:") + 1:]]
        why = next((line for line in reversed(log) if line and not _LOG_NOISE.match(line)), "")
        if why:
            return f"{head} ({why})"
    return head
