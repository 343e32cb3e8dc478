"""vantor.engine: the decision core of a web test-automation engine.

Each subpackage holds compiled modules that the host's runner imports and
calls directly; no module imports another.
"""


def locate(page, step, **options):
    """A Playwright Locator for the element the engine picks for a plain-English step or
    target ("the second button below Email"); see vantor.engine.finding."""
    from vantor.engine.finding import locate as locate_in

    return locate_in(page, step, **options)


def explain(page, step, **options):
    """The engine's decision for a step: strategy, rule, element and candidates; see vantor.engine.finding."""
    from vantor.engine.finding import explain as explain_in

    return explain_in(page, step, **options)
