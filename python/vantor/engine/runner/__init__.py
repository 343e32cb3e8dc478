"""The reference runner: executes plain-English test scripts in a real browser.

It is glue around the seven modules, used in the order they were made for:
check the script, then for each step parse it, wait for the page to settle,
scan it, resolve the target (by a policy: text first, then spatial), act, and
report. Element steps and checks are retried until they can be done or their
time runs out; every step's outcome is a record (StepOutcome) that the
console, the HTML reports and the CI output are made from.
"""
