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
class Strategy:
    name: str
    # (parsed instruction, element descriptors, text element descriptors) -> resolution result
    resolve: Callable


@dataclass
class Decision:
    element: dict | None  # the chosen descriptor, None when no strategy resolved
    strategy: str | None
    results: dict  # strategy name -> its resolution result, in the order tried


def specified_policy():
    """Text matching first, then the spatial resolver over the page's matrix."""
    matcher = TextMatcher()
    return [
        Strategy(TEXT_STRATEGY, matcher.resolve),
        Strategy(SPATIAL_STRATEGY, lambda parsed, elements, texts: GridSeeker(GridMaker(elements, texts).build())
                 .resolve(parsed)),
    ]


def decide(policy, parsed, elements, texts):
    results = {}
    for strategy in policy:
        result = strategy.resolve(parsed, elements, texts)
        results[strategy.name] = result
        if result.get("resolved"):
            return Decision(result["element"], strategy.name, results)
    return Decision(None, None, results)
