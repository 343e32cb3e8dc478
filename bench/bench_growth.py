"""Growth of every step reader entry point with the length of its input.

Each entry point runs on adversarial shapes of 1k, 10k, 100k and 1M characters
(separators inside many quoted phrases, long runs of filler words, final sigmas
among case-ignorable marks, ...). The growth factor is the time at one size
over the time at the size ten times smaller: about 10 means linear, about 100
quadratic. Figures are medians of several runs.
"""

import statistics
import time

from vantor.engine.agent.stepreader import StepReader, _extract_ordinal

SIZES = [1_000, 10_000, 100_000, 1_000_000]


def repeat_to(prefix, unit, suffix, size):
    return prefix + unit * max(1, (size - len(prefix) - len(suffix)) // len(unit)) + suffix


SHAPES = {
    "type, separators inside phrases": lambda n: repeat_to("type ", '"a into b" ', "into Field", n),
    "select, separators inside phrases": lambda n: repeat_to("select ", '"x from y" ', "from Menu", n),
    "click, many quoted phrases": lambda n: repeat_to("click ", '"q" ', "", n),
    "click, filler words": lambda n: repeat_to("click ", "the ", "Login", n),
    "verify, sigmas and marks": lambda n: repeat_to("verify ", "ΑΣ\u0345'' ", " is visible", n),
    "verify text, long relation": lambda n: repeat_to("verify text below ", "is a ", " is done", n),
    "wait, many digits": lambda n: repeat_to("wait ", "9", "", n),
}

reader = StepReader()
ENTRY_POINTS = {
    "parse": reader.parse,
    "validate": reader.validate,
    "validate_all": lambda step: reader.validate_all([step]),
    "_unquote": reader._unquote,
    "_clean_target": reader._clean_target,
    "_extract_ordinal": _extract_ordinal,
}


def seconds(call, text, runs):
    samples = []
    for _ in range(runs):
        start = time.perf_counter()
        try:
            call(text)
        except ValueError:
            pass  # a refused step costs its reading all the same
        samples.append(time.perf_counter() - start)
    return statistics.median(samples)


def main():
    print("growth with input length: median time per call; factor per x10 (linear ~ 10, quadratic ~ 100)")
    worst = 0.0
    for shape, make in SHAPES.items():
        texts = [make(size) for size in SIZES]
        for name, call in ENTRY_POINTS.items():
            times = [seconds(call, text, runs=7 if len(text) < 500_000 else 3) for text in texts]
            factors = [later / earlier for earlier, later in zip(times, times[1:])]
            worst = max(worst, factors[-1])
            cells = "  ".join(f"{t * 1e3:8.3f} ms" for t in times)
            print(f"  {shape:<36} {name:<16} {cells}   x10: " + " ".join(f"{f:5.1f}" for f in factors))
    print(f"  largest factor from 100k to 1M characters: {worst:.1f}")


if __name__ == "__main__":
    main()
