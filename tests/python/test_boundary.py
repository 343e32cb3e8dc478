"""Reading caller records stays sound whatever caller code runs meanwhile, and
nesting is bounded the way Python bounds it."""

import gc
import sys
import weakref

import pytest

from vantor.engine.agent.reporter import Reporter
from vantor.engine.browser.pagescanner import PageScanner
from vantor.engine.spatial.gridmaker import GridMaker
from vantor.engine.spatial.gridseeker import GridSeeker


@pytest.fixture
def finaliser_during_call():
    """arm(action): leaves garbage whose finaliser runs action, and makes the
    collector run at the next allocation, which is inside the call that follows."""
    was_enabled, old = gc.isenabled(), gc.get_threshold()
    gc.disable()
    scratch = []

    class Finaliser:
        def __init__(self, action):
            self.action = action
            self.self = self  # a cycle: only the collector frees it

        def __del__(self):
            self.action()
            # Reuse the freed memory, so that reading it would show.
            scratch.extend("#" * n for n in range(1, 400))

    def arm(action):
        Finaliser(action)
        gc.set_threshold(1, 1, 1)
        gc.enable()

    try:
        yield arm
    finally:
        gc.set_threshold(*old)
        if not was_enabled:
            gc.disable()


def test_strings_dropped_mid_conversion_stay_readable(probe, finaliser_during_call):
    # rebuild reads the caller's strings in place, then allocates new lists,
    # which runs the finaliser that drops every inner list and string.
    data = [[f"text {i} " * 3, {"k": f"välue {i}"}] for i in range(300)]
    expected = repr(data)
    finaliser_during_call(data.clear)
    rebuilt = probe.rebuild(data)
    assert data == []  # the finaliser did run
    assert repr(rebuilt) == expected


def test_container_emptied_mid_conversion_is_read_safely(probe, finaliser_during_call):
    inner = [f"item {i}" * 3 for i in range(500)]
    data = {"more": [{"a": i} for i in range(50)], "items": inner}
    expected = repr(data)
    finaliser_during_call(inner.clear)
    rebuilt = probe.rebuild(data)
    assert inner == []
    assert repr(rebuilt) == expected


class LyingInt(int):
    def __str__(self):
        return "42"

    __repr__ = __str__

    def __index__(self):
        return 42


@pytest.mark.parametrize("number", [7, -3, 2**70, -(2**100)])
def test_int_subclass_gives_its_true_value(probe, number):
    called = []

    class Clearing(LyingInt):
        def __str__(self):
            called.append(True)
            holder.clear()
            return "0"

    holder = [Clearing(number), "after"]
    assert probe.text_form(holder) == f"[{int.__repr__(number)}, 'after']"
    assert probe.rebuild([LyingInt(number)]) == [number]
    assert called == []


@pytest.mark.parametrize(
    "make",
    [
        lambda: (lambda a: (a.append(a), a)[1])([1]),
        lambda: (lambda d: (d.__setitem__("me", d), d)[1])({"x": 1}),
        lambda: (lambda a, b: (a.append(b), b.append(a), a)[2])([], ["b"]),
        lambda: (lambda a: (a.append({"list": a}), a)[1])([0]),
    ],
    ids=["list_in_itself", "dict_in_itself", "two_lists_in_each_other", "list_in_dict_in_list"],
)
def test_self_containing_values_are_written_as_repr_writes_them(probe, make):
    value = make()
    assert probe.text_form(value) == repr(value)
    assert probe.roundtrip(value) is value


def nested(depth, make=lambda inner: [inner]):
    value = "bottom"
    for _ in range(depth):
        value = make(value)
    return value


@pytest.mark.parametrize("make", [lambda v: [v], lambda v: {"k": v}, lambda v: (v,)], ids=["list", "dict", "tuple"])
@pytest.mark.parametrize("operation", ["text_form", "roundtrip", "rebuild"])
def test_nesting_deeper_than_the_recursion_limit_is_a_recursion_error(probe, make, operation):
    with pytest.raises(RecursionError):
        getattr(probe, operation)(nested(1_000_000, make))


def test_nesting_within_the_recursion_limit_converts(probe):
    value = nested(sys.getrecursionlimit() // 4)
    assert probe.text_form(value) == repr(value)
    assert probe.rebuild(value) == value


def test_a_lowered_limit_is_honoured(probe):
    value = nested(200)
    old = sys.getrecursionlimit()
    sys.setrecursionlimit(150)
    try:
        with pytest.raises(RecursionError):
            probe.text_form(value)
    finally:
        sys.setrecursionlimit(old)


def test_large_records_keep_order_and_content(probe):
    record = {f"key {i}": i for i in range(50_000)}
    rebuilt = probe.rebuild(record)
    assert list(rebuilt.items()) == list(record.items())


def test_str_keys_that_compare_equal_but_hash_apart_keep_one_entry_each_time(probe):
    class OddKey(str):
        def __hash__(self):
            return 12345

    record = {"name": 1, OddKey("name"): 2}  # two keys to the dict, one to us
    assert len(record) == 2
    assert probe.rebuild(record) == {"name": 2}


class Marker:
    pass


def maker_in_its_list(marker):
    held = [marker]
    held.append(GridMaker(held))


def seeker_in_its_matrix(marker):
    matrix = [marker]
    matrix.append(GridSeeker(matrix))


def scanner_on_its_page(page):
    page.scanner = PageScanner(page)


def reporter_in_its_records(marker):
    reporter = Reporter()
    reporter.results.append({"status": "PASS", "reporter": reporter, "marker": marker})


@pytest.mark.parametrize("make_cycle", [maker_in_its_list, seeker_in_its_matrix, scanner_on_its_page,
                                        reporter_in_its_records])
def test_an_object_held_in_a_cycle_through_itself_is_collected(make_cycle):
    """Every bound class that holds caller objects shows them to the collector."""
    marker = Marker()
    make_cycle(marker)
    gone = weakref.ref(marker)
    del marker
    gc.collect()
    assert gone() is None
