"""The accuracy corpus: steps a tester writes on the fixture pages, each with the element meant.

Every page <name>.html in this folder has its cases in <name>.cases, one case a line:

    <step exactly as a tester writes it> => <CSS selector of the element the tester means>

The step is the text before the first " => ", the selector the text after it, both trimmed.
Blank lines and lines starting with # are comments.
"""

from pathlib import Path
from typing import NamedTuple

HERE = Path(__file__).resolve().parent
SEPARATOR = " => "


class Case(NamedTuple):
    page: str  # file name of the page, relative to this folder
    line: int  # 1-based line number in the .cases file
    step: str
    selector: str


def parse_cases(text, page, source="<cases>"):
    """The cases of one .cases text; a line that is neither a comment nor a case is an error, not skipped."""
    cases = []
    for number, raw in enumerate(text.splitlines(), start=1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        step, separator, selector = line.partition(SEPARATOR)
        step, selector = step.strip(), selector.strip()
        if not separator or not step or not selector:
            raise ValueError(f"{source}:{number}: expected '<step>{SEPARATOR}<selector>', got {raw!r}")
        cases.append(Case(page, number, step, selector))
    return cases


def load_cases(folder=HERE):
    """All cases of the folder, page by page in file-name order, each page's in line order."""
    folder = Path(folder)
    cases = []
    for cases_file in sorted(folder.glob("*.cases")):
        page = cases_file.with_suffix(".html")
        if not page.is_file():
            raise ValueError(f"{cases_file}: no page {page.name} beside it")
        cases.extend(parse_cases(cases_file.read_text(encoding="utf-8"), page.name, str(cases_file)))
    return cases


if __name__ == "__main__":
    from collections import Counter

    counts = Counter(case.page for case in load_cases())
    for page, count in counts.items():
        print(f"{page:<28} {count:>4}")
    print(f"{'all':<28} {sum(counts.values()):>4}")
