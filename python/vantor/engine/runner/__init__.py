"""The reference runner: executes plain-English test scripts in a real browser.

It is thin glue around the seven modules, used in the order they were made
for: check the script, then for each step parse it, scan the page, resolve
the target (text first, then spatial), act, and report.
"""
