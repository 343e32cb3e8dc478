"""Building and resolving stay sound when caller code empties the descriptors,
the lists or the matrix entries in the middle of a call: a record key whose
__eq__ runs while a field is looked up, or a finaliser the collector runs."""

import pytest
from test_boundary import finaliser_during_call  # noqa: F401

from spatial_pages import element, text_element
from vantor.engine.spatial.gridmaker import GridMaker
from vantor.engine.spatial.gridseeker import GridSeeker


class Meddler:
    """A key that looks like `name` to the hash table; once armed, comparing
    it runs the action (once)."""

    def __init__(self, name):
        self.name, self.action = name, None

    def __hash__(self):
        return hash(self.name)

    def __eq__(self, other):
        action, self.action = self.action, None
        if action:
            action()
        return False


def plant(record, names, action):
    """Puts meddlers in front of the record's own keys, so that looking any of
    those names up meets a meddler first."""
    meddlers = [Meddler(name) for name in names]
    own = dict(record)
    record.clear()
    for m in meddlers:
        record[m] = 1
    record.update(own)
    for m in meddlers:
        m.action = action


def page(count=200):
    dom = [element("button", f"Button number {i} " * 2, x=i % 7 * 100, y=i * 40, _label=f"label {i}" * 3,
                   placeholder="p" * 30) for i in range(count)]
    texts = [text_element(f"Label text {i} " * 3, x=0, y=i * 40 + 5) for i in range(count)]
    return dom, texts


scratch = []


def empty_all(records, *lists):
    def action():
        for r in records:
            for value in list(r.values()):
                if isinstance(value, dict):
                    value.clear()
            r.clear()
        for each in lists:
            each.clear()
        scratch.extend("#" * n for n in range(1, 400))  # reuse the freed memory, so reading it would show
    return action


def check_matrix(matrix, originals):
    for i, entry in enumerate(matrix):
        assert len(entry) == 11 and entry["index"] == i and len(entry["position"]) == 8
        assert any(entry["element"] is d for d in originals)


def test_descriptors_emptied_in_the_middle_of_a_build():
    dom, texts = page()
    originals = dom + texts
    intact = [repr(d) for d in originals]
    plant(dom[100], ("text", "tag", "bounding_box", "attributes", "is_enabled"), empty_all(originals, dom, texts))
    matrix = GridMaker(dom, texts).build()
    assert dom == [] and texts == []  # the meddler did run
    check_matrix(matrix, originals)
    # the descriptors read before it ran are in the matrix as they were
    assert len(matrix) >= 100
    assert [e["text"] for e in matrix if e["index"] < 50] == [eval(r, {})["text"] for r in intact[:100]][:50]


def test_attributes_emptied_while_they_are_read():
    el = element("input", "", _label="Label " * 10, placeholder="Placeholder " * 10, name="n" * 40)
    attributes = el["attributes"]
    plant(attributes, ("name",), attributes.clear)
    (entry,) = GridMaker([el]).build()
    assert attributes == {}
    assert entry["searchable"].startswith("Label Label") and entry["label"] == "Label " * 10


def test_descriptors_emptied_by_a_finaliser_during_a_build(finaliser_during_call):
    dom, texts = page()
    originals = dom + texts
    finaliser_during_call(empty_all(originals, dom, texts))
    matrix = GridMaker(dom, texts).build()
    assert dom == [] and texts == []
    check_matrix(matrix, originals)


def test_entries_emptied_in_the_middle_of_a_resolution():
    dom, texts = page()
    matrix = GridMaker(dom, texts).build()
    expected = GridSeeker(matrix).resolve({"target": "button below label text 3"})
    assert expected["resolved"]
    entries = list(matrix)
    plant(matrix[300], ("text", "index", "is_anchor_only", "element_type", "position", "element"),
          empty_all(entries, matrix))
    # The entries are emptied while they are read: an entry read afterwards
    # lacks its keys, which is a KeyError, and nothing read before is lost.
    with pytest.raises(KeyError):
        GridSeeker(matrix).resolve({"target": "button below label text 3"})
    assert matrix == []


def test_entries_emptied_by_a_finaliser_while_the_result_is_made(finaliser_during_call):
    dom, texts = page()
    matrix = GridMaker(dom, texts).build()
    seeker = GridSeeker(matrix)
    expected = seeker.resolve({"target": "button below label text 3"})
    entries = list(matrix)
    finaliser_during_call(empty_all(entries, matrix))
    result = seeker.resolve({"target": "button below label text 3"})
    assert matrix == []
    assert list(result) == list(expected)
    assert result["element"] is expected["element"] and result["anchor_text"] == expected["anchor_text"]
    assert all(a is b for a, b in zip(result["candidates"], expected["candidates"]))
