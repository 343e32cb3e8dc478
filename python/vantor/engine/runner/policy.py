"""Which strategies resolve an element step, and in which order.

A policy is a list of strategies tried in turn until one resolves the target;
the first that does decides. Another strategy goes in front by building a
list with it first; the runner never names a strategy itself.
"""

from dataclasses import dataclass
from typing import Callable

from vantor.engine.spatial.gridmaker import GridMaker
from vantor.engine.spatial.gridseeker import GridSeeker
from vantor.engine.strategies.textmatcher import TextMatcher

TEXT_STRATEGY = "text match"
SPATIAL_STRATEGY = "spatial"


@dataclass(frozen=True)
class PageFacts:
    """What the facts scan adds to the descriptors: fact records by XPath, and
    descriptors of the elements named by role that the scan does not list."""
    by_xpath: dict
    unlisted: list


NO_FACTS = PageFacts({}, [])


@dataclass(frozen=True)
class Strategy:
    name: str
    # (parsed instruction, element descriptors, text element descriptors) -> resolution result;
    # with the page facts (xpath -> fact record) as a fourth argument when `needs_facts`,
    # and the elements the scan does not list among the text elements.
    resolve: Callable
    needs_facts: bool = False

    def ask(self, parsed, elements, texts, facts):
        if self.needs_facts:
            facts = facts if facts is not None else NO_FACTS
            return self.resolve(parsed, elements, texts + facts.unlisted, facts.by_xpath)
        return self.resolve(parsed, elements, texts)


@dataclass
class Decision:
    element: dict | None  # the chosen descriptor, None when no strategy resolved
    strategy: str | None
    results: dict  # strategy name -> its resolution result, in the order tried


ROLE_STRATEGY = "role and name"
ROLE_PLACED_STRATEGY = "role and place"


def role_matcher_built():
    try:
        import vantor.engine.strategies.rolematcher  # noqa: F401
    except ImportError:
        return False
    return True


# The choices of --strategies: the role matcher first (once that module is
# built), or text matching and spatial alone; the first is the default.
POLICIES = ("role", "text") if role_matcher_built() else ("text",)
DEFAULT_POLICY = POLICIES[0]


def role_strategy():
    from vantor.engine.strategies.rolematcher import RoleMatcher

    return Strategy(ROLE_STRATEGY, RoleMatcher().resolve, needs_facts=True)


def role_placed_strategy():
    from vantor.engine.strategies.rolematcher import RoleMatcher

    return Strategy(ROLE_PLACED_STRATEGY, RoleMatcher().resolve_placed, needs_facts=True)


def policy_named(name):
    """The element-step policy a --strategies choice names. The role matcher
    goes first but leaves targets placed by a spatial phrase ("the button
    below Email") to text matching and spatial, and answers those itself only
    when they found nothing."""
    if name != "role":
        return text_first_policy()
    return [role_strategy(), *text_first_policy(), role_placed_strategy()]


def checkers_named(name):
    """Who answers checks and look-ups, in turn: the role matcher first when chosen, then text matching."""
    text = Strategy(TEXT_STRATEGY, TextMatcher().resolve)
    return [role_strategy(), text] if name == "role" else [text]


def needs_facts(strategies):
    return any(strategy.needs_facts for strategy in strategies)


def text_first_policy():
    """Text matching first, then the spatial resolver over the page's matrix."""
    matcher = TextMatcher()
    return [
        Strategy(TEXT_STRATEGY, matcher.resolve),
        Strategy(SPATIAL_STRATEGY, lambda parsed, elements, texts: GridSeeker(GridMaker(elements, texts).build())
                 .resolve(parsed)),
    ]


def decide(policy, parsed, elements, texts, facts=None):
    results = {}
    for strategy in policy:
        result = strategy.ask(parsed, elements, texts, facts)
        results[strategy.name] = result
        if result.get("resolved"):
            return Decision(result["element"], strategy.name, results)
    return Decision(None, None, results)


def answer(checkers, parsed, elements, texts, facts=None):
    """The first checker that finds what the check or look-up names answers it; the
    last one answers when none does. Returns (name, result)."""
    for checker in checkers:
        result = checker.ask(parsed, elements, texts, facts)
        if result.get("resolved") or checker is checkers[-1]:
            return checker.name, result
