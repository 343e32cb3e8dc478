"""Calls with missing, surplus or unknown arguments raise the TypeError a Python
def with the same parameters raises, in every module.

Each expectation comes from calling such a def and dropping its qualified
prefix: our messages name the bare function, as in
"resolve() takes 4 positional arguments but 5 were given".
"""

import pytest

from vantor.engine.agent import reporter, stepreader
from vantor.engine.browser import pagescanner
from vantor.engine.spatial import gridmaker, gridseeker
from vantor.engine.strategies import layoutmatcher, rolematcher, textmatcher

# (owner, name, parameters); "p=None" has a default. Owner None: a module function.
METHODS = [
    (stepreader.StepReader, "__init__", []),
    (stepreader.StepReader, "parse", ["instruction"]),
    (stepreader.StepReader, "validate", ["instruction"]),
    (stepreader.StepReader, "validate_all", ["instructions"]),
    (stepreader.StepReader, "_unquote", ["instruction"]),
    (stepreader.StepReader, "_clean_target", ["target"]),
    (gridmaker.GridMaker, "__init__", ["dom_elements", "text_elements=None"]),
    (gridmaker.GridMaker, "build", []),
    (gridseeker.GridSeeker, "__init__", ["matrix"]),
    (gridseeker.GridSeeker, "resolve", ["parsed_instruction"]),
    (gridseeker.GridSeeker, "_find_anchor", ["anchor_text"]),
    (gridseeker.GridSeeker, "_rank", ["candidates", "anchor", "strategy", "ordinal"]),
    (gridseeker.GridSeeker, "_resolve_ordinal", ["ordinal", "type_filter", "search_text=None"]),
    (layoutmatcher.LayoutMatcher, "__init__", []),
    (layoutmatcher.LayoutMatcher, "resolve", ["parsed_instruction", "matrix", "dom_candidates"]),
    (rolematcher.RoleMatcher, "__init__", []),
    (rolematcher.RoleMatcher, "resolve", ["parsed_instruction", "elements", "text_elements=None", "facts=None"]),
    (rolematcher.RoleMatcher, "resolve_placed",
     ["parsed_instruction", "elements", "text_elements=None", "facts=None"]),
    (textmatcher.TextMatcher, "__init__", []),
    (textmatcher.TextMatcher, "resolve", ["parsed_instruction", "dom_elements", "text_elements=None"]),
    (textmatcher.TextMatcher, "_resolve_verify_spatial_text",
     ["target", "expected", "text_elements", "dom_elements=None"]),
    (textmatcher.TextMatcher, "_resolve_extract_spatial_text", ["target", "text_elements", "dom_elements=None"]),
    (textmatcher.TextMatcher, "_resolve_find_text", ["target", "text_elements"]),
    (textmatcher.TextMatcher, "_resolve_find_exact_text", ["target", "text_elements"]),
    (textmatcher.TextMatcher, "_resolve_verify", ["action", "target", "dom_elements"]),
    (textmatcher.TextMatcher, "_resolve_verify_text", ["action", "target", "text_elements"]),
    (reporter.Reporter, "__init__", []),
    (reporter.Reporter, "log_success", ["instruction", "strategy_used", "element"]),
    (reporter.Reporter, "log_failure", ["instruction", "dom_result", "spatial_result=None", "florence_result=None"]),
    (reporter.Reporter, "log_verification", ["instruction", "passed", "element", "state=None"]),
    (reporter.Reporter, "summary", []),
    (reporter.Reporter, "save_html", []),
    (pagescanner.PageScanner, "__init__", ["page"]),
    (pagescanner.PageScanner, "extract_interactable_elements", []),
    (pagescanner.PageScanner, "extract_page_facts", []),
    (pagescanner.PageScanner, "extract_text_elements", []),
    (pagescanner.PageScanner, "_extract_custom_inputs", []),
    (pagescanner.PageScanner, "_extract_cursor_pointer_elements", []),
    (pagescanner.PageScanner, "_get_field_label", ["handle"]),
    (pagescanner.PageScanner, "_collect_label_candidates", []),
    (pagescanner.PageScanner, "_assign_spatial_labels", ["elements", "label_candidates"]),
    (pagescanner.PageScanner, "_save_snapshot", ["elements", "text_elements"]),
]
FUNCTIONS = [
    (stepreader, "_extract_ordinal", ["text"]),
    (gridmaker, "_element_type", ["element"]),
    (gridmaker, "_position", ["bb"]),
    (gridmaker, "_searchable", ["element"]),
    (gridseeker, "_parse_target", ["target"]),
    (gridseeker, "_normalize", ["text"]),
    (gridseeker, "_centre_distance", ["a", "b"]),
    (gridseeker, "_overlaps_vertically", ["a", "b"]),
    (gridseeker, "_overlaps_horizontally", ["a", "b"]),
    (gridseeker, "_dom_distance", ["xpath_a", "xpath_b"]),
    (textmatcher, "_strip_type_descriptors", ["target"]),
    (textmatcher, "_searchable_strings", ["element", "include_label=False"]),
    (textmatcher, "_matches_element", ["target", "element", "include_label=False"]),
    (textmatcher, "_exact_matches_element", ["target", "element", "include_label=False"]),
    (textmatcher, "_filter_by_action", ["action", "elements"]),
    (textmatcher, "_dom_distance", ["xpath_a", "xpath_b"]),
    (textmatcher, "_norm", ["v"]),
    (pagescanner, "_is_custom_input", ["tag", "classes"]),
    (pagescanner.PageScanner, "_dedup_text_elements", ["candidates"]),  # a static method
]
# Arguments a constructor accepts, so that its methods can be called.
CONSTRUCTED = {gridmaker.GridMaker: ([],), gridseeker.GridSeeker: ([],), pagescanner.PageScanner: (None,)}


def python_twin(name, parameters, method):
    """A Python def (in a class, for a method) with the same parameters."""
    listed = ", ".join((["self"] if method else []) + parameters)
    namespace = {}
    exec(f"def {name}({listed}):\n    pass", namespace)
    function = namespace[name]
    if not method:
        return function
    function.__qualname__ = f"Twin.{name}"  # as a def written inside a class
    return type("Twin", (), {name: function})


def calls(parameters):
    """(case, args, kwargs) for every kind of mismatch that fits the parameters."""
    names = [p.split("=")[0] for p in parameters]
    required = [p for p in parameters if "=" not in p]
    made = [("surplus", [None] * (len(parameters) + 1), {}),
            ("unexpected keyword", [None] * len(required), {"bogus": 1})]
    if required:
        made.append(("missing one", [None] * (len(required) - 1), {}))
    if len(required) >= 2:
        made.append(("missing several", [], {}))
        made.append(("missing with keywords", [], {names[-1]: None} if len(required) == len(names) else {}))
    if names:
        made.append(("multiple values", [None], {names[0]: None}))
    return made


def expected_message(twin, name, method, args, kwargs):
    with pytest.raises(TypeError) as error:
        if method and name == "__init__":
            twin(*args, **kwargs)
        elif method:
            getattr(twin(), name)(*args, **kwargs)
        else:
            twin(*args, **kwargs)
    message = str(error.value)
    assert message.startswith("Twin." if method else f"{name}(")
    return message.removeprefix("Twin.")


CASES = [(owner, name, parameters, True, case, args, kwargs)
         for owner, name, parameters in METHODS for case, args, kwargs in calls(parameters)]
CASES += [(owner, name, parameters, False, case, args, kwargs)
          for owner, name, parameters in FUNCTIONS for case, args, kwargs in calls(parameters)]


@pytest.mark.parametrize("owner, name, parameters, method, case, args, kwargs", CASES,
                         ids=[f"{getattr(c[0], '__name__', c[0])}.{c[1]}-{c[4]}" for c in CASES])
def test_message_is_pythons_own(owner, name, parameters, method, case, args, kwargs):
    twin = python_twin(name, parameters, method)
    expected = expected_message(twin, name, method, args, kwargs)
    with pytest.raises(TypeError) as error:
        if method and name == "__init__":
            owner(*args, **kwargs)
        elif method:
            getattr(owner(*CONSTRUCTED.get(owner, ())), name)(*args, **kwargs)
        else:
            getattr(owner, name)(*args, **kwargs)
    assert str(error.value) == expected


@pytest.mark.parametrize("call, message", [
    (lambda: layoutmatcher.LayoutMatcher().resolve({}, {}, [], None),
     "resolve() takes 4 positional arguments but 5 were given"),
    (lambda: layoutmatcher.LayoutMatcher().resolve({}, {}),
     "resolve() missing 1 required positional argument: 'dom_candidates'"),
    (lambda: stepreader.StepReader().parse(), "parse() missing 1 required positional argument: 'instruction'"),
    (lambda: gridseeker.GridSeeker([])._resolve_ordinal(1, None, None, None),
     "_resolve_ordinal() takes from 3 to 4 positional arguments but 5 were given"),
    (lambda: gridmaker.GridMaker(), "__init__() missing 1 required positional argument: 'dom_elements'"),
    (lambda: gridseeker._dom_distance("a"), "_dom_distance() missing 1 required positional argument: 'xpath_b'"),
])
def test_examples_in_words(call, message):
    with pytest.raises(TypeError) as error:
        call()
    assert str(error.value) == message


@pytest.mark.parametrize("call", [
    lambda: gridmaker.GridMaker(dom_elements=[], text_elements=None).build(),
    lambda: gridseeker.GridSeeker(matrix=[])._resolve_ordinal(ordinal=1, type_filter=None),
    lambda: gridseeker.GridSeeker([])._rank([], {}, strategy=None, ordinal=None),
    lambda: gridseeker._dom_distance(xpath_b="", xpath_a=""),
    lambda: stepreader.StepReader().parse(instruction="click x"),
])
def test_keywords_that_fit_reach_the_real_call(call):
    call()
