"""The step reader follows Python's text semantics for arbitrary Unicode steps.

A small reference reader, written with Python's own str operations, is run
side by side with the compiled one over generated steps.
"""

import re
from itertools import dropwhile

from hypothesis import given, settings
from hypothesis import strategies as st

from unicode_text import text
from vantor.engine.agent.stepreader import _ORDINALS, StepReader, _extract_ordinal

QUOTE_RE = re.compile(r'"([^"]+)"')
SPATIAL = ("next to ", "below ", "above ", "left of ", "right of ", "under ", "near ")
STOP = {"the", "a", "an", "in", "at", "on", "into"}


def clean(target):
    return " ".join(dropwhile(lambda w: w.lower() in STOP, target.split()))


def reference_parse(instruction):
    """Parse rules for the actions whose texts are cut at positions of the lowered step."""
    trimmed = instruction.strip()
    u = QUOTE_RE.sub(r"\1", trimmed)
    literals, spans, removed = [], [], 0
    for m in QUOTE_RE.finditer(trimmed):
        literals.append(m.group(1))
        spans.append((m.start() - removed, m.end() - removed - 2))
        removed += 2
    w = u.lower()
    at = [i for i, ch in enumerate(u) for _ in ch.lower()] + [len(u)]  # lowered position -> u position

    def shaped(x):
        return x if x in literals else clean(x)

    def record(action, target, value=None, ordinal=None):
        rec = {"action": action, "target": target, "value": value}
        if ordinal is not None:
            rec["ordinal"] = ordinal
        rec["_literal_target"] = target in literals
        return rec

    for keyword, sep, action in (("type ", " into ", "type"), ("select ", " from ", "select")):
        if w.startswith(keyword):
            found = [p for p in range(len(keyword), len(w)) if w.startswith(sep, p)]
            outside = [p for p in found if not any(b < at[p + len(sep)] and at[p] < e for b, e in spans)]
            if not found:
                return None
            p = (outside or found)[0]
            raw = u[at[p + len(sep)]:]
            return record(action, raw.strip() if raw.strip() in literals else clean(raw), u[at[len(keyword)]:at[p]])
    if w.startswith("click "):
        raw = u[at[6]:]
        if raw.strip() in literals:
            return record("click", raw.strip(), ordinal=1)
        words = raw.split(None, 1)
        if words and words[0].lower() in _ORDINALS:
            return record("click", shaped(words[1] if len(words) > 1 else ""), ordinal=_ORDINALS[words[0].lower()])
        return record("click", shaped(raw), ordinal=1)
    if w.startswith("verify text ") and w[12:].startswith(SPATIAL) and " is " in w:
        i = w.rindex(" is ")
        target, value = u[at[12]:at[i]].strip(), u[at[i + 4]:].strip()
        if target and value:
            rec = record("verify_spatial_text", target, value)
            rec["_literal_target"] = False
            return rec
    return None


fragment = st.one_of(text, st.sampled_from(['"', ' "x y" ', " into ", " from ", " is ", "second ", "the ", "İ", "K"]))
steps = st.builds(
    lambda head, parts: head + "".join(parts),
    st.sampled_from(["type ", "TYPE ", "select ", "click ", "Click ", "verify text near ", "verify text below "]),
    st.lists(fragment, max_size=6),
)


@settings(max_examples=400)
@given(steps)
def test_parse_agrees_with_the_reference_reader(reader, step):
    expected = reference_parse(step)
    if expected is None:
        return  # a step the reference does not cover; other rules may take it
    assert reader.parse(step) == expected
    assert list(reader.parse(step)) == list(expected)


@given(text)
def test_unquote_matches_the_quote_pattern(reader, s):
    assert reader._unquote(s) == (QUOTE_RE.sub(r"\1", s), QUOTE_RE.findall(s))


@given(text)
def test_clean_target_drops_leading_filler_words(reader, s):
    assert reader._clean_target(s) == clean(s)


@given(st.one_of(text, st.builds(lambda w, t: w + t, st.sampled_from(["first", "Second", "FIFTH "]), text)))
def test_extract_ordinal_reads_only_the_first_word(s):
    words = s.split(None, 1)
    if words and words[0].lower() in _ORDINALS:
        expected = (_ORDINALS[words[0].lower()], words[1] if len(words) > 1 else "")
    else:
        expected = (1, s)
    assert _extract_ordinal(s) == expected


@settings(max_examples=300)
@given(st.one_of(text, steps))
def test_any_step_parses_or_is_rejected_with_its_quoted_form(reader, step):
    try:
        record = reader.parse(step)
    except ValueError as error:
        assert str(error).startswith(f"Unrecognised instruction: {step!r}. Supported actions: ")
    else:
        assert record["action"] in StepReader.SUPPORTED_ACTIONS + ["wait"]
    assert all(isinstance(issue, str) for issue in reader.validate(step))
