"""Step reader throughput against a plain Python pass over the same lines.

The yardstick is a loop that only does line.lower().split(): the least any
reader written in Python would do per step. Each round times every loop once,
side by side, and the figures quoted are medians over the rounds.
"""

import random
import statistics
import time

from vantor.engine.agent.stepreader import StepReader

NAMES = ["Login", "Submit", "Username", "Password", "Add to cart", "Checkout", "First Name", "Email address",
         "Remember me", "Price (low to high)", "Total", "Order summary", "Search", "Ünïcödé Straße", "Zip code"]
TEMPLATES = [
    "click {n}", 'click "{n}"', "click the {n} button", "click second {n} button", "hover over the {n} icon",
    "type {v} into {n}", 'type "{v}" into "{n}"', "type {v} into the {n} field", "select {v} from {n}",
    'select "{v}" from the {n} dropdown', "verify {n} is present", 'verify "{n}" is visible',
    "verify the {n} button is enabled", "verify {n} is disabled", "verify text {n} is present",
    "verify text next to {n} is {v}", "verify text below {n} is {v}", "find text {n}", "find exact text {n}",
    "extract text from the {n}", "extract text below {n}", "press Enter", "sendkeys Tab", "wait 500",
    "accept dialog", "verify dialog says {v} saved", "click the third {n} link below {n}",
]
VALUES = ["alice", "standard_user", "secret sauce", "42", "Red", "$29.99", "hello world"]


def make_script(count, seed=7):
    rng = random.Random(seed)
    return [rng.choice(TEMPLATES).format(n=rng.choice(NAMES), v=rng.choice(VALUES)) for _ in range(count)]


def time_per_line(run, lines):
    start = time.perf_counter_ns()
    run(lines)
    return (time.perf_counter_ns() - start) / len(lines)


def main(count=20_000, rounds=15):
    lines = make_script(count)
    reader = StepReader()
    parse = reader.parse

    def baseline(ls):
        for line in ls:
            line.lower().split()

    def parse_all(ls):
        for line in ls:
            parse(line)

    loops = {"lower().split() loop": baseline, "parse": parse_all, "validate_all": reader.validate_all}
    samples = {name: [] for name in loops}
    for _ in range(rounds):
        for name, run in loops.items():
            samples[name].append(time_per_line(run, lines))
    medians = {name: statistics.median(values) for name, values in samples.items()}
    base = medians["lower().split() loop"]
    print(f"step reader: {count} steps, {rounds} rounds, median ns per step")
    for name, ns in medians.items():
        print(f"  {name:<22} {ns:8.1f} ns   {ns / base:5.2f}x the lower().split() loop")


if __name__ == "__main__":
    main()
