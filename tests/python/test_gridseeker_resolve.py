"""GridSeeker.resolve: result shapes, candidate pools, type relaxation, ordinals
and the instruction's own ordinal."""

import pytest
from hypothesis import given
from hypothesis import strategies as st

from spatial_pages import element, entry, text_element
from vantor.engine.agent.stepreader import StepReader
from vantor.engine.spatial.gridmaker import GridMaker
from vantor.engine.spatial.gridseeker import GridSeeker

SHORT_KEYS = ["resolved", "confidence", "element", "candidates"]
LONG_KEYS = ["resolved", "confidence", "element", "anchor_text", "ordinal", "type_relaxed", "actual_type",
             "candidates"]
UNRESOLVED = {"resolved": False, "confidence": 0.0, "element": None, "candidates": []}


def seeker(dom, texts=None):
    return GridSeeker(GridMaker(dom, texts).build())


def resolve(s, target, **extra):
    return s.resolve({"action": "click", "target": target, **extra})


def form():
    """An Email label over an input, three buttons in a column below, a link to the right."""
    label = text_element("Email", x=20, y=20, width=60)
    email = element("input", "", x=20, y=50, width=300, height=30, _label="Email", **{"aria-label": "Email input"})
    buttons = [element("button", name, x=20, y=y, width=80) for name, y in (("Save", 120), ("Save all", 170),
                                                                          ("Reset", 220))]
    link = element("a", "Help", x=400, y=20, width=40, height=20)
    return [email, *buttons, link], [label]


# -- result shapes ---------------------------------------------------------

def test_resolved_by_anchor_has_eight_keys_and_the_callers_descriptors():
    dom, texts = form()
    result = resolve(seeker(dom, texts), "button below Email")
    assert list(result) == LONG_KEYS
    assert result["resolved"] is True and result["confidence"] == 1.0 and type(result["confidence"]) is float
    assert result["element"] is dom[1]
    assert [c is d for c, d in zip(result["candidates"], dom[1:4])] == [True] * 3
    assert (result["anchor_text"], result["ordinal"], result["type_relaxed"], result["actual_type"]) == (
        "Email", 1, False, "button")


def test_resolved_by_ordinal_has_four_keys():
    dom, texts = form()
    result = resolve(seeker(dom, texts), "third button")
    assert list(result) == SHORT_KEYS
    assert result["element"] is dom[3] and result["candidates"] == dom[1:4]


@pytest.mark.parametrize("target", ["login button", "", "Email", "button below Nowhere", "link below Email x",
                                    "fifth button", "button below"])
def test_unresolved_has_four_keys(target):
    dom, texts = form()
    result = resolve(seeker(dom, texts), target)
    assert result == UNRESOLVED and list(result) == SHORT_KEYS and type(result["confidence"]) is float


def test_results_never_share_lists():
    s = seeker(*form())
    assert resolve(s, "x")["candidates"] is not resolve(s, "x")["candidates"]


def test_anchor_text_is_the_anchors_search_text():
    dom, texts = form()
    result = resolve(seeker(dom, texts[:0]), "button below email input")
    assert result["anchor_text"] == "Email Email input"


def test_plain_names_do_not_consult_the_matrix():
    assert resolve(GridSeeker([{"broken": True}]), "login button") == UNRESOLVED


# -- candidate pool -----------------------------------------------------------

def test_target_text_narrows_by_normalised_search_text():
    dom, texts = form()
    result = resolve(seeker(dom, texts), "save-all button below email")
    assert result["candidates"] == [dom[2]]
    result = resolve(seeker(dom, texts), "SAVE button below email")
    assert result["candidates"] == [dom[1], dom[2]]


def test_target_text_never_empties_the_pool():
    dom, texts = form()
    assert resolve(seeker(dom, texts), "delete button below email")["candidates"] == dom[1:4]


def test_anchor_and_text_entries_are_never_candidates():
    save = element("button", "Save", x=0, y=0)
    other = element("button", "Other", x=0, y=100)
    below_label = text_element("note", x=0, y=200)
    result = resolve(seeker([save, other], [below_label]), "button below save")
    assert result["candidates"] == [other]


# -- type relaxation -------------------------------------------------------------

def test_relaxed_when_only_another_type_qualifies():
    label = text_element("Email", x=20, y=20)
    field = element("input", "", x=20, y=50)
    far_button = element("button", "Go", x=900, y=500)
    result = resolve(seeker([field, far_button], [label]), "button below email")
    assert result["element"] is field
    assert (result["type_relaxed"], result["actual_type"]) == (True, "input")


def test_no_relaxation_when_the_type_is_absent():
    label = text_element("Email", x=20, y=20)
    field = element("input", "", x=20, y=50)
    assert resolve(seeker([field], [label]), "button below email") == UNRESOLVED


def test_textbox_role_is_reached_only_by_relaxation():
    label = text_element("Name", x=0, y=0)
    box = element("div", "", x=0, y=40, role="textbox")
    far_input = element("input", "", x=900, y=900)
    result = resolve(seeker([box, far_input], [label]), "textbox below name")
    assert result["element"] is box and result["type_relaxed"] is True and result["actual_type"] == "textbox"


def test_unresolved_after_relaxation_too():
    label = text_element("Email", x=20, y=20)
    assert resolve(seeker([element("button", "Go", x=900, y=0)], [label]), "button below email") == UNRESOLVED


def test_actual_type_is_none_without_a_type_word():
    label = text_element("Name", x=0, y=0)
    result = resolve(seeker([element("a", "x", x=0, y=40)], [label]), "thing below name")
    assert result["actual_type"] is None and result["type_relaxed"] is False


# -- ordinals --------------------------------------------------------------------------

def test_ordinal_with_anchor_gives_one_candidate():
    dom, texts = form()
    result = resolve(seeker(dom, texts), "second button below Email")
    assert result["element"] is dom[2] and result["candidates"] == [dom[2]] and result["ordinal"] == 2


def test_next_to_keeps_only_the_first_in_reading_order():
    label = text_element("Email", x=0, y=100, width=50)
    first, second = element("button", "A", x=300, y=100), element("button", "B", x=100, y=101)
    result = resolve(seeker([first, second], [label]), "button next to email")
    assert result["candidates"] == [first]


@pytest.mark.parametrize("links, target, expected", [(2, "third link", None), (4, "third link", 2),
                                                     (4, "1st link", 0), (4, "5th link", None)])
def test_ordinal_only(links, target, expected):
    dom = [element("a", f"l{i}", x=0, y=50 * i) for i in range(links)]
    result = resolve(seeker(dom), target)
    if expected is None:
        assert result == UNRESOLVED
    else:
        assert result["element"] is dom[expected] and result["candidates"] == dom


def test_ordinal_search_text_prefers_exact_text_then_normalised_containment():
    dom = [element("button", t, x=0, y=40 * i) for i, t in enumerate(["Save all", " submit ", "Save", "Go", "save"])]
    s = seeker(dom)
    assert resolve(s, "first submit")["element"] is dom[1]
    assert resolve(s, "first submit")["candidates"] == [dom[1]]
    assert resolve(s, "second save")["element"] is dom[4]           # two exact matches: Save, save
    assert resolve(s, "third save")["candidates"] == [dom[0], dom[2], dom[4]]
    assert resolve(s, "second foo")["element"] is dom[1]            # nothing contains foo: the typed pool


def test_ordinal_only_skips_text_entries():
    dom = [element("button", "b", y=0)]
    assert resolve(seeker(dom, [text_element("t", y=10)]), "second")["resolved"] is False


# -- the instruction's own ordinal ------------------------------------------------------

def test_second_button_below_email_through_the_step_reader():
    dom, texts = form()
    parsed = StepReader().parse("click second button below Email")
    assert (parsed["target"], parsed["ordinal"]) == ("button below Email", 2)
    result = seeker(dom, texts).resolve(parsed)
    assert result["element"] is dom[2] and result["ordinal"] == 2 and result["candidates"] == [dom[2]]


@pytest.mark.parametrize("ordinal, expected", [(1, 1), (None, 1), (True, 1), (2.0, 1), ("2", 1), (0, 1),
                                               (-3, 1), (3, 3)])
def test_instruction_ordinal_counts_only_as_an_int_above_one(ordinal, expected):
    dom, texts = form()
    result = resolve(seeker(dom, texts), "button below Email", ordinal=ordinal)
    assert result["element"] is dom[expected]


def test_ordinal_in_the_target_wins_over_the_instructions():
    dom, texts = form()
    result = resolve(seeker(dom, texts), "first button below Email", ordinal=3)
    assert result["element"] is dom[1] and result["ordinal"] == 1


def test_instruction_ordinal_names_a_target_by_ordinal_alone():
    dom, texts = form()
    parsed = StepReader().parse("click second Save button")
    assert parsed["target"] == "Save button"
    assert seeker(dom, texts).resolve(parsed)["element"] is dom[2]
    assert resolve(seeker(dom, texts), "Save button", ordinal=9) == UNRESOLVED


# -- hand-built entries --------------------------------------------------------------

def test_hand_built_entries_without_optional_keys():
    anchor = {"index": 0, "text": "Name", "position": {"x": 0, "y": 0, "x2": 50, "y2": 20, "cx": 25, "cy": 10},
              "element": {"id": "anchor"}}
    target = {"index": 1, "element_type": "button", "position": {"x": 0, "y": 30, "x2": 50, "y2": 50},
              "element": {"id": "target"}}
    result = GridSeeker([anchor, target]).resolve({"target": "button below name"})
    assert result["element"] is target["element"] and result["anchor_text"] == ""


@pytest.mark.parametrize("missing, target", [
    ("index", "button below name"), ("position", "button below name"), ("element", "button below name"),
    ("element_type", "button below name"), ("searchable", "second foo"), ("text", "second foo"),
])
def test_missing_required_keys_raise_key_error(missing, target):
    matrix = [entry(0, "text", "Name", anchor_only=True, w=50, h=20), entry(1, "button", "Go", y=40)]
    del matrix[1][missing]
    with pytest.raises(KeyError) as error:
        GridSeeker(matrix).resolve({"target": target})
    assert error.value.args == (missing,)


def test_missing_element_type_is_not_read_without_a_type_filter():
    matrix = [entry(0, "text", "Name", anchor_only=True, w=50, h=20), entry(1, "button", "Go", y=40)]
    del matrix[1]["element_type"]
    assert GridSeeker(matrix).resolve({"target": "thing below name"})["resolved"] is True


def test_the_matrix_and_its_entries_are_not_changed():
    dom, texts = form()
    matrix = GridMaker(dom, texts).build()
    before = repr(matrix)
    s = GridSeeker(matrix)
    for target in ("button below email", "second button", "link right of email", "x near email"):
        resolve(s, target)
    assert repr(matrix) == before and s.matrix is matrix


@pytest.mark.parametrize("instruction, message", [
    ([], "resolve() argument 'parsed_instruction' must be dict, not list"),
    (None, "resolve() argument 'parsed_instruction' must be dict, not None"),
    ({"target": None}, "the instruction's 'target' must be str, not None"),
    ({"target": 3}, "the instruction's 'target' must be str, not int"),
])
def test_resolve_type_errors(instruction, message):
    with pytest.raises(TypeError) as error:
        GridSeeker([]).resolve(instruction)
    assert str(error.value) == message


def test_missing_target_reads_as_empty():
    assert GridSeeker([]).resolve({}) == UNRESOLVED


@pytest.mark.parametrize("args, message", [
    (("2", None), "_resolve_ordinal() argument 'ordinal' must be int, not str"),
    ((None, None), "_resolve_ordinal() argument 'ordinal' must be int, not None"),
    ((1, 5), "_resolve_ordinal() argument 'type_filter' must be str or None, not int"),
    ((1, None, b"x"), "_resolve_ordinal() argument 'search_text' must be str or None, not bytes"),
])
def test_resolve_ordinal_argument_types(args, message):
    with pytest.raises(TypeError) as error:
        GridSeeker([])._resolve_ordinal(*args)
    assert str(error.value) == message


def test_constructor_refuses_non_lists():
    with pytest.raises(TypeError, match=r"GridSeeker\(\) argument 'matrix' must be list, not None"):
        GridSeeker(None)


# -- randomized pages -----------------------------------------------------------------

layouts = st.lists(st.tuples(st.sampled_from(["button", "a", "input", "select", "div"]),
                             st.sampled_from(["Save", "Email", "Name", "Go", ""]),
                             st.integers(0, 600), st.integers(0, 600)), max_size=12)
phrases = st.sampled_from(["button below email", "second link", "input right of name", "field near the go",
                           "third", "btn above save", "2nd save button left of email", "dropdown next to name",
                           "select under go"])


@given(layouts, st.lists(st.tuples(st.sampled_from(["Email", "Name", "Save"]), st.integers(0, 600),
                                   st.integers(0, 600)), max_size=4), phrases)
def test_any_result_is_well_formed(dom_spec, text_spec, target):
    dom = [element(tag, text, x=x, y=y) for tag, text, x, y in dom_spec]
    texts = [text_element(text, x=x, y=y) for text, x, y in text_spec]
    result = resolve(seeker(dom, texts), target)
    assert list(result) in (SHORT_KEYS, LONG_KEYS)
    assert result["confidence"] == (1.0 if result["resolved"] else 0.0)
    if result["resolved"]:
        assert any(result["element"] is d for d in dom)
        assert any(result["element"] is c for c in result["candidates"])
        assert all(any(c is d for d in dom) for c in result["candidates"])
    else:
        assert result == UNRESOLVED
