"""Runs one step: the modules decide what and where, this class acts in the page.

Text matching answers first; when it does not resolve an element action, the
spatial resolver gets the same step over the page's matrix. Every outcome goes
to the reporter, and a step that fails in the browser is a failure with its
reason, never a crash.
"""

from playwright.sync_api import Error as PlaywrightError

from vantor.engine.agent.stepreader import StepReader
from vantor.engine.browser.pagescanner import PageScanner
from vantor.engine.runner.browser import first_line
from vantor.engine.runner.keys import key_combination
from vantor.engine.spatial.gridmaker import GridMaker
from vantor.engine.spatial.gridseeker import GridSeeker
from vantor.engine.strategies.textmatcher import TextMatcher

TEXT_STRATEGY = "text match"
SPATIAL_STRATEGY = "spatial"
BROWSER_STRATEGY = "browser"

CHECK_ACTIONS = frozenset({
    "verify_present", "verify_visible", "verify_enabled", "verify_disabled",
    "verify_text_present", "verify_text_visible", "verify_spatial_text",
})
ELEMENT_ACTIONS = frozenset({"click", "type", "select", "hover", "extract_text"})
# The reporter's indentation for the lines under a step.
DETAIL_INDENT = "         "


class StepExecutor:
    def __init__(self, page, reporter, dialogs):
        self.page = page
        self.reporter = reporter
        self.dialogs = dialogs
        self.reader = StepReader()
        self.matcher = TextMatcher()

    def run(self, text):
        """Runs one step and logs it; True when it passed."""
        before = len(self.reporter.results)
        try:
            parsed = self.reader.parse(text)
        except ValueError as error:
            return self._fail(text, f"cannot read the step: {str(error).split('. Supported actions')[0]}")
        try:
            self._dispatch(text, parsed)
        except PlaywrightError as error:
            return self._fail(text, f"browser: {first_line(error)}")
        return len(self.reporter.results) > before and self.reporter.results[-1]["status"] == "PASS"

    def _dispatch(self, text, parsed):
        action = parsed["action"]
        if action in CHECK_ACTIONS:
            self._check(text, parsed)
        elif action in ("find_text", "find_exact_text"):
            self._look_up(text, parsed)
        elif action == "extract_text_spatial":
            self._extract_beside(text, parsed)
        elif action in ELEMENT_ACTIONS:
            self._act_on_element(text, parsed)
        else:
            getattr(self, f"_{action}")(text, parsed)

    # The page as the modules see it.

    def _scan(self):
        self.page.wait_for_load_state()
        return PageScanner(self.page).extract_interactable_elements()

    def _resolve_element(self, parsed, elements, texts):
        dom_result = self.matcher.resolve(parsed, elements, texts)
        if dom_result["resolved"]:
            return dom_result["element"], TEXT_STRATEGY, dom_result, None
        spatial_result = GridSeeker(GridMaker(elements, texts).build()).resolve(parsed)
        if spatial_result["resolved"]:
            return spatial_result["element"], SPATIAL_STRATEGY, dom_result, spatial_result
        return None, None, dom_result, spatial_result

    # Actions on one element.

    def _act_on_element(self, text, parsed):
        elements, texts = self._scan()
        element, strategy, dom_result, spatial_result = self._resolve_element(parsed, elements, texts)
        if element is None:
            self.reporter.log_failure(text, dom_result, spatial_result)
            return
        action = parsed["action"]
        extracted = None
        if action == "extract_text":
            extracted = element.get("text") or ""
        else:
            locator = self.page.locator(f"xpath={element['xpath']}")
            if action == "click":
                locator.click()
            elif action == "type":
                locator.fill(parsed["value"])
            elif action == "select":
                self._select(locator, parsed["value"])
            else:
                locator.hover()
        self.reporter.log_success(text, strategy, element)
        if extracted is not None:
            self.reporter.results[-1]["extracted"] = extracted

    @staticmethod
    def _select(locator, option):
        """By the option's label as shown, else by its value."""
        try:
            locator.select_option(label=option, timeout=1000)
        except PlaywrightError:
            locator.select_option(value=option)

    # Questions the text matcher answers on its own.

    def _check(self, text, parsed):
        elements, texts = self._scan()
        result = self.matcher.resolve(parsed, elements, texts)
        self.reporter.log_verification(text, bool(result["verified"]), result["element"], result["state"])

    def _look_up(self, text, parsed):
        elements, texts = self._scan()
        result = self.matcher.resolve(parsed, elements, texts)
        if result["resolved"]:
            self.reporter.log_success(text, TEXT_STRATEGY, result["element"])
        else:
            self.reporter.log_failure(text, result)

    def _extract_beside(self, text, parsed):
        elements, texts = self._scan()
        result = self.matcher.resolve(parsed, elements, texts)
        if not result["resolved"]:
            self.reporter.log_failure(text, result)
            return
        self.reporter.log_success(text, TEXT_STRATEGY, result["element"])
        self.reporter.results[-1]["extracted"] = result["extracted"]

    # Browser actions that need no element.

    def _press_key(self, text, parsed):
        key = parsed["target"]
        self.page.keyboard.press(key_combination(key) or key)
        self.reporter.log_success(text, BROWSER_STRATEGY, {})

    def _sendkeys(self, text, parsed):
        keys = parsed["value"]
        combination = key_combination(keys)
        if combination:
            self.page.keyboard.press(combination)
        else:
            self.page.keyboard.type(keys)
        self.reporter.log_success(text, BROWSER_STRATEGY, {})

    def _wait(self, text, parsed):
        self.page.wait_for_timeout(int(parsed["target"]))
        self.reporter.log_success(text, BROWSER_STRATEGY, {})

    def _accept_dialog(self, text, parsed):
        self.dialogs.answer_next("accept")
        self.reporter.log_success(text, BROWSER_STRATEGY, {})

    def _dismiss_dialog(self, text, parsed):
        self.dialogs.answer_next("dismiss")
        self.reporter.log_success(text, BROWSER_STRATEGY, {})

    def _verify_dialog(self, text, parsed):
        expected = parsed["value"].strip()
        actual = self.dialogs.last_message
        passed = actual is not None and expected.lower() in actual.lower()
        state = {"expected": expected, "actual": actual if actual is not None else "no dialog was shown"}
        self.reporter.log_verification(text, passed, None, state)

    def _fail(self, text, reason):
        """A failure the strategies did not report: the step could not be read or the browser refused."""
        self.reporter.log_failure(text, {})
        self.reporter.results[-1]["reasons"] = reason
        print(f"{DETAIL_INDENT}reasons : {reason}", flush=True)
        return False
