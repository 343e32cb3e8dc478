"""LayoutMatcher.resolve: exact type checks in parameter order, nothing returned."""

from collections import OrderedDict, UserDict

import pytest

from spatial_pages import element
from vantor.engine.spatial.gridmaker import GridMaker
from vantor.engine.strategies.layoutmatcher import LayoutMatcher


class DictChild(dict):
    pass


class ListChild(list):
    pass


def test_empty_arguments_give_none():
    assert LayoutMatcher().resolve({}, {}, []) is None


def test_populated_arguments_give_none_and_stay_unchanged():
    instruction = {"action": "click", "target": "button below Email", "value": None, "ordinal": 2,
                   "_literal_target": False}
    matrix, dom = {"rows": [1, 2]}, [element("button", "Save")]
    before = repr((instruction, matrix, dom))
    assert LayoutMatcher().resolve(instruction, matrix, dom) is None
    assert LayoutMatcher().resolve(parsed_instruction=instruction, matrix=matrix, dom_candidates=dom) is None
    assert repr((instruction, matrix, dom)) == before


@pytest.mark.parametrize("args, message", [
    ((None, {}, []), "resolve() argument 'parsed_instruction' must be dict, not None"),
    ((DictChild(), {}, []), "resolve() argument 'parsed_instruction' must be dict, not DictChild"),
    ((OrderedDict(), {}, []), "resolve() argument 'parsed_instruction' must be dict, not collections.OrderedDict"),
    ((UserDict(), {}, []), "resolve() argument 'parsed_instruction' must be dict, not UserDict"),
    (({}, [], []), "resolve() argument 'matrix' must be dict, not list"),
    (({}, None, []), "resolve() argument 'matrix' must be dict, not None"),
    (({}, {}, ()), "resolve() argument 'dom_candidates' must be list, not tuple"),
    (({}, {}, ListChild()), "resolve() argument 'dom_candidates' must be list, not ListChild"),
    (({}, {}, None), "resolve() argument 'dom_candidates' must be list, not None"),
    ((None, None, None), "resolve() argument 'parsed_instruction' must be dict, not None"),
    (({}, 1, ()), "resolve() argument 'matrix' must be dict, not int"),
])
def test_type_errors_name_the_first_failing_argument(args, message):
    with pytest.raises(TypeError) as error:
        LayoutMatcher().resolve(*args)
    assert str(error.value) == message


def test_the_built_matrix_is_not_a_record():
    matrix = GridMaker([element("button", "Save")]).build()
    with pytest.raises(TypeError, match="argument 'matrix' must be dict, not list"):
        LayoutMatcher().resolve({}, matrix, [])
