"""GridMaker: positions, reading order, entry shape, identity and repeated builds."""

import math

import pytest
from hypothesis import given
from hypothesis import strategies as st

from spatial_pages import box, element, text_element
from vantor.engine.spatial.gridmaker import GridMaker, _position

ENTRY_KEYS = ["index", "tag", "element_type", "text", "label", "searchable", "is_enabled", "is_anchor_only",
              "order_in_type", "position", "element"]
POSITION_KEYS = ["x", "y", "w", "h", "cx", "cy", "x2", "y2"]


# -- positions -------------------------------------------------------------

def test_position_of_an_integral_box():
    p = _position(box(10, 20, 30, 41))
    assert list(p) == POSITION_KEYS
    assert p == {"x": 10, "y": 20, "w": 30, "h": 41, "cx": 25.0, "cy": 40.5, "x2": 40, "y2": 61}
    assert [type(p[k]) for k in POSITION_KEYS] == [int] * 4 + [float] * 2 + [int] * 2


def test_position_of_a_box_with_only_a_corner():
    p = _position({"x": 7, "y": 9})
    assert p == {"x": 7, "y": 9, "w": 0, "h": 0, "cx": 7.0, "cy": 9.0, "x2": 7, "y2": 9}
    assert type(p["cx"]) is float and type(p["x2"]) is int


def test_position_of_an_empty_box_is_all_zero():
    assert _position({}) == dict.fromkeys(POSITION_KEYS, 0)


def test_position_keeps_the_callers_coordinate_objects():
    bb = {"x": 10**30, "y": 2.5, "width": 3, "height": 0.25}
    p = _position(bb)
    assert p["x"] is bb["x"] and p["y"] is bb["y"] and p["w"] is bb["width"] and p["h"] is bb["height"]


numbers = st.one_of(st.integers(-10**6, 10**6), st.integers(-2**70, 2**70), st.booleans(),
                    st.floats(allow_nan=False, allow_infinity=False, width=64))


@given(numbers, numbers, numbers, numbers)
def test_position_matches_python_arithmetic(x, y, w, h):
    p = _position({"x": x, "y": y, "width": w, "height": h})
    expected = {"cx": x + w / 2, "cy": y + h / 2, "x2": x + w, "y2": y + h}
    for key, value in expected.items():
        assert type(p[key]) is type(value), key
        assert p[key] == value or (math.isnan(value) and math.isnan(p[key])), key


def test_position_arithmetic_errors_are_pythons():
    with pytest.raises(TypeError):
        _position({"x": "10", "width": 5})


# -- reading order ---------------------------------------------------------

def build(dom, texts=None):
    return GridMaker(dom, texts).build()


def test_entries_sorted_by_top_then_left_without_row_tolerance():
    a = element("button", "A", x=900, y=100)
    b = element("button", "B", x=0, y=101)
    c = element("button", "C", x=50, y=100)
    assert [e["text"] for e in build([b, a, c])] == ["C", "A", "B"]


def test_same_corner_keeps_input_order_interactables_before_texts():
    first, second = element("button", "1", x=5, y=5), element("a", "2", x=5, y=5)
    label = text_element("3", x=5, y=5)
    matrix = build([first, second], [label])
    assert [e["element"] for e in matrix] == [first, second, label]
    assert [e["element"] is d for e, d in zip(matrix, [first, second, label])] == [True] * 3


def test_index_and_order_in_type_follow_the_finished_order():
    dom = [element("button", f"b{i}", x=0, y=y) for i, y in enumerate([300, 100, 500])]
    texts = [text_element(f"t{i}", x=0, y=y) for i, y in enumerate([400, 200])]
    matrix = build(dom, texts)
    assert [e["index"] for e in matrix] == list(range(5))
    assert [(e["element_type"], e["order_in_type"]) for e in matrix] == [
        ("button", 1), ("text", 1), ("button", 2), ("text", 2), ("button", 3)]


@given(st.lists(st.tuples(st.integers(-50, 50), st.integers(-50, 50), st.booleans()), max_size=30))
def test_reading_order_is_a_stable_sort_by_corner(corners):
    dom = [element("button", str(i), x=x, y=y) for i, (x, y, is_text) in enumerate(corners) if not is_text]
    texts = [text_element(str(i), x=x, y=y) for i, (x, y, is_text) in enumerate(corners) if is_text]
    matrix = build(dom, texts)
    expected = sorted(dom + texts, key=lambda d: (d["bounding_box"]["y"], d["bounding_box"]["x"]))
    assert [e["element"] for e in matrix] == expected
    assert all(e["element"] is d for e, d in zip(matrix, expected))
    seen = {}
    for i, e in enumerate(matrix):
        seen[e["element_type"]] = seen.get(e["element_type"], 0) + 1
        assert (e["index"], e["order_in_type"]) == (i, seen[e["element_type"]])


def test_mixed_int_and_float_corners_compare_as_numbers():
    dom = [element("button", "late", x=0, y=10.5), element("button", "early", x=0, y=10)]
    assert [e["text"] for e in build(dom)] == ["early", "late"]


# -- boxes that are left out -------------------------------------------------

@pytest.mark.parametrize("bb", [None, {}, "missing"])
def test_descriptor_without_usable_box_is_left_out_without_gaps(bb):
    unplaced = element("button", "gone")
    if bb == "missing":
        del unplaced["bounding_box"]
    else:
        unplaced["bounding_box"] = bb
    matrix = build([element("button", "a", y=0), unplaced, element("button", "b", y=50)])
    assert [(e["index"], e["text"]) for e in matrix] == [(0, "a"), (1, "b")]


def test_both_lists_empty_give_an_empty_matrix():
    assert build([], []) == []
    assert build([]) == []


def test_text_elements_none_gives_only_interactable_entries():
    matrix = build([element("button", "a")], None)
    assert [e["is_anchor_only"] for e in matrix] == [False]


# -- entry shape -------------------------------------------------------------

def test_interactable_entry_shape():
    el = element("input", "", x=10, y=20, width=200, height=30, _label="Email", placeholder="you@x")
    (entry,) = build([el])
    assert list(entry) == ENTRY_KEYS
    assert list(entry["position"]) == POSITION_KEYS
    assert entry == {"index": 0, "tag": "input", "element_type": "input", "text": "", "label": "Email",
                     "searchable": "Email you@x", "is_enabled": True, "is_anchor_only": False,
                     "order_in_type": 1, "position": _position(el["bounding_box"]), "element": el}
    assert entry["element"] is el


def test_text_entry_shape_ignores_labels_for_searchable():
    t = text_element("Total", tag="td", _label="Sum", **{"aria-label": "x"})
    (entry,) = build([], [t])
    assert list(entry) == ENTRY_KEYS
    assert entry["element_type"] == "text" and entry["is_anchor_only"] is True and entry["is_enabled"] is True
    assert entry["searchable"] == "Total" and entry["label"] == "Sum" and entry["element"] is t


def test_missing_keys_take_their_defaults():
    bare = {"bounding_box": box(1, 2, 3, 4)}
    (entry,) = build([bare])
    assert (entry["tag"], entry["element_type"], entry["text"], entry["label"], entry["searchable"],
            entry["is_enabled"]) == ("", "", "", "", "", True)
    (text_entry,) = build([], [dict(bare)])
    assert (text_entry["tag"], text_entry["text"], text_entry["searchable"]) == ("", "", "")


def test_values_are_the_callers_own_objects():
    el = element("button", "Save " * 3, _label="L" * 20)
    el["is_enabled"] = False
    (entry,) = build([el])
    assert entry["tag"] is el["tag"] and entry["text"] is el["text"]
    assert entry["label"] is el["attributes"]["_label"] and entry["is_enabled"] is False


def test_descriptors_are_not_changed():
    el = element("button", "Save", _label="x")
    t = text_element("Name")
    before = repr((el, t))
    build([el], [t])
    assert repr((el, t)) == before


def test_build_twice_gives_new_lists_sharing_descriptors():
    dom, texts = [element("button", "a")], [text_element("b", y=40)]
    maker = GridMaker(dom, texts)
    first, second = maker.build(), maker.build()
    assert first == second and first is not second
    assert all(a is not b and a["element"] is b["element"] for a, b in zip(first, second))


def test_build_reads_the_lists_afresh():
    dom = [element("button", "a")]
    maker = GridMaker(dom)
    dom.append(element("button", "b", y=50))
    assert [e["text"] for e in maker.build()] == ["a", "b"]


def test_constructor_state():
    dom, texts = [], [text_element("x")]
    maker = GridMaker(dom, texts)
    assert maker.dom_elements is dom and maker.text_elements is texts
    empty = []
    assert GridMaker(dom, empty).text_elements is not empty and GridMaker(dom, empty).text_elements == []
    assert GridMaker(dom).text_elements == []


# -- type errors ----------------------------------------------------------------

@pytest.mark.parametrize("dom, texts, message", [
    (None, None, "GridMaker() argument 'dom_elements' must be list, not None"),
    ((), None, "GridMaker() argument 'dom_elements' must be list, not tuple"),
    ([], {}, "GridMaker() argument 'text_elements' must be list or None, not dict"),
])
def test_constructor_type_errors(dom, texts, message):
    with pytest.raises(TypeError) as error:
        GridMaker(dom, texts)
    assert str(error.value) == message


@pytest.mark.parametrize("dom", [
    [1],
    [{"bounding_box": [1, 2]}],
    [{"bounding_box": box(0, 0, 1, 1), "attributes": "x"}],
    [{"bounding_box": box(0, 0, 1, 1), "text": 5}],
    [{"bounding_box": box(0, 0, 1, 1), "attributes": {"name": ["n"]}}],
    [{"bounding_box": box(0, 0, 1, 1), "tag": 7}],
])
def test_build_type_errors(dom):
    with pytest.raises(TypeError):
        GridMaker(dom).build()


def test_falsy_non_text_parts_are_skipped():
    (entry,) = build([{"bounding_box": box(0, 0, 1, 1), "text": 0, "attributes": {"name": None, "_label": ""}}])
    assert entry["searchable"] == ""
