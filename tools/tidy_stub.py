"""Drops the argument-mismatch overloads from a generated type stub.

Every bound function has a catch-all overload, `(*args, **kwargs)`, whose only
work is to raise Python's own TypeError for a call that fits no real overload.
Type checkers and editors should see just the real signature.

usage: tidy_stub.py STUB
"""

import re
import sys
from collections import Counter

# A static method's overloads carry @staticmethod between @overload and def.
STATIC = r"(?:[ \t]*@staticmethod\n)?"
CATCH_ALL = re.compile(r"^[ \t]*@overload\n" + STATIC + r"[ \t]*def \w+\((?:self, )?\*args, \*\*kwargs\) -> None: \.\.\.\n\n?",
                       re.M)
OVERLOAD = re.compile(r"^([ \t]*)@overload\n(" + STATIC + r"[ \t]*def (\w+)\()", re.M)


def tidy(stub):
    stub = CATCH_ALL.sub("", stub)
    counts = Counter(match.group(3) for match in OVERLOAD.finditer(stub))
    stub = OVERLOAD.sub(lambda m: m.group(0) if counts[m.group(3)] > 1 else m.group(2), stub)
    if "@overload" not in stub:
        stub = stub.replace("from typing import overload\n", "")
    return stub.rstrip("\n") + "\n"


def main(path):
    with open(path, encoding="utf-8") as file:
        stub = file.read()
    with open(path, "w", encoding="utf-8") as file:
        file.write(tidy(stub))


if __name__ == "__main__":
    main(sys.argv[1])
