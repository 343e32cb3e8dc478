"""Accuracy of element finding on the corpus: for every case, the element the
engine picks against the one the tester meant, for text matching first (text
matching, then spatial) and for the role-and-name policy, side by side.

    bench/accuracy/run            (or: .venv/bin/python bench/accuracy/measure.py)

A case passes when the element the step's decision names (the element acted
on, or the element a check or look-up examined) is the one its selector
matches. Every miss is listed with what was picked instead.
"""

import sys
from collections import defaultdict
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from corpus import load_cases  # noqa: E402

POLICIES = ("text", "role")


def intended_xpath(page, selector):
    return page.eval_on_selector(selector, """el => {
        const steps = [];
        for (let node = el; node && node.nodeType === 1; node = node.parentNode) {
            let index = 1;
            for (let sib = node.previousElementSibling; sib; sib = sib.previousElementSibling)
                if (sib.tagName === node.tagName) index += 1;
            steps.unshift(node.tagName.toLowerCase() + '[' + index + ']');
        }
        return '/' + steps.join('/');
    }""")


def picked(page, step, policy):
    from vantor.engine.finding import explain

    try:
        decision = explain(page, step, strategies=policy, timeout_ms=0)
    except Exception as error:  # a strange step or page: a miss with its reason
        return None, f"{type(error).__name__}: {error}"
    element = decision["element"]
    if element is None:
        return None, f"nothing resolved ({decision['strategy'] or 'no strategy'})"
    return element.get("xpath"), f"{decision['strategy']}: <{element.get('tag')}> {str(element.get('text'))[:40]!r}"


def main():
    from playwright.sync_api import sync_playwright

    cases = load_cases()
    by_page = defaultdict(list)
    for case in cases:
        by_page[case.page].append(case)
    hits = {policy: defaultdict(int) for policy in POLICIES}
    misses = {policy: [] for policy in POLICIES}
    with sync_playwright() as playwright:
        browser = playwright.chromium.launch(executable_path="/usr/bin/chromium", headless=True, args=["--no-sandbox"])
        for page_file, page_cases in by_page.items():
            # explain() only reads the page, so one load serves every case of it.
            page = browser.new_page(viewport={"width": 1280, "height": 800})
            page.goto((HERE / page_file).as_uri())
            # Script-built pages say they are building with aria-busy.
            page.wait_for_function("!document.querySelector('[aria-busy=\"true\"]')", timeout=10000)
            for case in page_cases:
                want = intended_xpath(page, case.selector)
                for policy in POLICIES:
                    got, said = picked(page, case.step, policy)
                    if got == want:
                        hits[policy][page_file] += 1
                    else:
                        misses[policy].append((case, said))
            page.close()
        browser.close()

    print(f"{'page':<28} {'cases':>5}   " + "   ".join(f"{p:>12}" for p in POLICIES))
    for page_file, page_cases in by_page.items():
        cells = "   ".join(f"{hits[p][page_file] / len(page_cases):11.1%} " for p in POLICIES)
        print(f"{page_file:<28} {len(page_cases):>5}   {cells}")
    total = len(cases)
    print(f"{'all':<28} {total:>5}   " + "   ".join(
        f"{sum(hits[p].values()) / total:11.1%} " for p in POLICIES))
    for policy in POLICIES:
        print(f"\nmisses of '{policy}' ({len(misses[policy])}):")
        for case, said in misses[policy]:
            print(f"  {case.page}:{case.line}  {case.step!r}  wanted {case.selector}  got {said}")


if __name__ == "__main__":
    main()
