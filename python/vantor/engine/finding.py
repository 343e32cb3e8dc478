"""Plain-English locators for people's own Playwright tests.

`locate(page, "the second button below Email")` gives a Playwright Locator for
the element the engine picks; `explain(page, step)` the decision behind it:
which strategy decided, by which rule, and the candidates it weighed. The page
is scanned and the step resolved again until it resolves or the time runs out,
as the runner does for a step.
"""

import time

from vantor.engine.runner.actions import CHECK, KIND_OF, LOOK_UP, TEXT_CHECK
from vantor.engine.runner.options import DEFAULT_TIMEOUT_MS
from vantor.engine.runner.policy import (
    DEFAULT_POLICY, PageFacts, answer, checkers_named, decide, needs_facts, policy_named,
)
from vantor.engine.runner.waiting import QUIET_MS, PageNotAnswering, settle

# The least time a settle is given, even once the time is up.
_LAST_TRY_MS = QUIET_MS + 50
# Actions answered by the checkers (a check's or look-up's element) rather than the element policy.
_CHECKS_AND_LOOK_UPS = frozenset(action for action, kind in KIND_OF.items() if kind in (CHECK, TEXT_CHECK, LOOK_UP))


class ElementNotFound(LookupError):
    """No strategy found the element a plain-English locator names."""

    def __init__(self, step, decision):
        self.step, self.decision = step, decision
        lines = [f"no element found for {step!r} within the time allowed"]
        lines += [f"  closest: {candidate.describe()}" for candidate in decision["closest"]]
        super().__init__("\n".join(lines))


def explain(page, step, *, strategies=DEFAULT_POLICY, timeout_ms=DEFAULT_TIMEOUT_MS):
    """The engine's decision for a step (or a bare target such as "the Search button"):
    a dict with the step, its parsed form, whether it resolved, the strategy that
    decided and its rule, whether the choice was ambiguous, the element descriptor,
    the candidates weighed, every strategy's result, and the closest elements when
    nothing resolved."""
    parsed = _parse(step)
    policy, checkers = policy_named(strategies), checkers_named(strategies)
    deadline = time.monotonic() + timeout_ms / 1000
    while True:
        try:
            settle(page, max(_LAST_TRY_MS, int((deadline - time.monotonic()) * 1000)))
        except PageNotAnswering:
            pass  # a page that never goes quiet is read as it is
        elements, texts, facts = _scan(page, needs_facts(policy) or needs_facts(checkers))
        if parsed["action"] in _CHECKS_AND_LOOK_UPS:
            name, result = answer(checkers, parsed, elements, texts, facts)
            strategy, results = (name if result.get("resolved") else None), {name: result}
        else:
            decision = decide(policy, parsed, elements, texts, facts)
            strategy, results = decision.strategy, decision.results
        if strategy is not None or time.monotonic() >= deadline:
            break
        page.wait_for_timeout(100)
    return _decision(step, parsed, strategy, results, elements + texts)


def locate(page, step, *, strategies=DEFAULT_POLICY, timeout_ms=DEFAULT_TIMEOUT_MS):
    """A Playwright Locator for the element the engine picks for the step or target;
    ElementNotFound, listing the closest candidates, when none resolves."""
    decision = explain(page, step, strategies=strategies, timeout_ms=timeout_ms)
    if not decision["resolved"]:
        raise ElementNotFound(step, decision)
    return page.locator(f"xpath={decision['element']['xpath']}")


def _parse(step):
    from vantor.engine.agent.stepreader import StepReader

    reader = StepReader()
    try:
        return reader.parse(step)
    except ValueError:
        return reader.parse(f"click {step}")  # a bare target names what a click would act on


def _scan(page, with_facts):
    from vantor.engine.browser.pagescanner import PageScanner

    scanner = PageScanner(page)
    if with_facts:
        elements, texts, facts, unlisted = scanner.extract_page_facts()
        return elements, texts, PageFacts(facts, unlisted)
    elements, texts = scanner.extract_interactable_elements()
    return elements, texts, None


def _decision(step, parsed, strategy, results, seen):
    from vantor.engine.runner.candidates import closest

    deciding = results.get(strategy) or {}
    last = deciding or (list(results.values())[-1] if results else {})
    return {
        "step": step,
        "parsed": parsed,
        "resolved": strategy is not None,
        "strategy": strategy,
        "rule": deciding.get("rule", ""),
        "ambiguous": bool(deciding.get("ambiguous")),
        "element": deciding.get("element"),
        "candidates": list(last.get("candidates") or []),
        "results": results,
        "closest": [] if strategy is not None else closest(parsed.get("target"), seen),
    }
