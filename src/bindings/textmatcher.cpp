// vantor.engine.strategies.textmatcher: the TextMatcher class, its match
// functions and tables.
#include <nanobind/nanobind.h>

#include <optional>

#include "matching/action_filter.hpp"
#include "matching/resolution.hpp"
#include "matching/surfaces.hpp"
#include "matching/tables.hpp"
#include "support/arguments.hpp"
#include "support/descriptor_list.hpp"
#include "support/error_translation.hpp"
#include "support/signature.hpp"

namespace nb = nanobind;
using namespace nb::literals;
using vantor::bindings::DescriptorDicts;
using vantor::bindings::dict_argument;
using vantor::bindings::interned;
using vantor::bindings::list_argument;
using vantor::bindings::make_str;
using vantor::bindings::optional_list_argument;
using vantor::bindings::str_argument;
namespace matching = vantor::matching;

namespace {

// The matcher holds nothing: every table is a constant.
struct TextMatcher {};

// Result keys and three blank results, one per key set, made once: a result
// is a copy of its blank, which keeps the key order. Kept for the
// interpreter's lifetime on purpose.
struct Names {
  PyObject *resolved, *verified, *confidence, *element, *extracted, *state, *candidates;
  PyObject *present, *visible, *enabled, *expected, *actual;
  PyObject *action, *target, *value, *ordinal, *is_visible, *is_enabled;
  PyObject *one, *zero, *empty;
  PyObject *blank_element, *blank_check, *blank_extraction;
};

void set_item(PyObject* dict, PyObject* key, PyObject* value) {
  if (PyDict_SetItem(dict, key, value) != 0) throw nb::python_error();
}

PyObject* blank(std::initializer_list<PyObject*> keys) {
  PyObject* d = PyDict_New();
  if (!d) throw nb::python_error();
  for (PyObject* key : keys) set_item(d, key, Py_None);
  return d;
}

const Names& names() {
  static const Names* const made = [] {
    auto* n = new Names{};
    n->resolved = interned("resolved");
    n->verified = interned("verified");
    n->confidence = interned("confidence");
    n->element = interned("element");
    n->extracted = interned("extracted");
    n->state = interned("state");
    n->candidates = interned("candidates");
    n->present = interned("present");
    n->visible = interned("visible");
    n->enabled = interned("enabled");
    n->expected = interned("expected");
    n->actual = interned("actual");
    n->action = interned("action");
    n->target = interned("target");
    n->value = interned("value");
    n->ordinal = interned("ordinal");
    n->is_visible = interned("is_visible");
    n->is_enabled = interned("is_enabled");
    n->one = PyFloat_FromDouble(1.0);
    n->zero = PyFloat_FromDouble(0.0);
    n->empty = interned("");
    n->blank_element = blank({n->resolved, n->confidence, n->element, n->candidates});
    n->blank_check = blank({n->resolved, n->verified, n->confidence, n->element, n->state, n->candidates});
    n->blank_extraction = blank({n->resolved, n->confidence, n->element, n->extracted, n->candidates});
    return n;
  }();
  return *made;
}

// The two lists a result may point into; null for a list the call has not.
struct Lists {
  const DescriptorDicts* dom;
  const DescriptorDicts* text;

  PyObject* item(matching::Ref r) const {
    return r.list == matching::Source::dom ? dom->item(r.index) : text->item(r.index);
  }
};

// The element's own value of a flag, False when it has none.
nb::object own_flag(PyObject* element, PyObject* key) {
  PyObject* value = PyDict_GetItemWithError(element, key);
  if (!value) {
    if (PyErr_Occurred()) throw nb::python_error();
    return nb::borrow(Py_False);
  }
  return nb::borrow(value);
}

nb::object to_result(const matching::Resolution& r, const Lists& lists, nb::handle expected) {
  const Names& n = names();
  PyObject* blank = r.family == matching::Family::element ? n.blank_element
                    : r.family == matching::Family::check ? n.blank_check
                                                          : n.blank_extraction;
  // Everything the result holds is taken from the held lists first; making
  // the containers may run the collector, and with it caller code.
  PyObject* element = r.element ? lists.item(*r.element) : Py_None;
  nb::object visible, enabled;
  if (r.state == matching::State::element || r.state == matching::State::text_element)
    visible = own_flag(element, n.is_visible);
  if (r.state == matching::State::element) enabled = own_flag(element, n.is_enabled);

  auto result = nb::steal(PyDict_Copy(blank));
  if (!result.is_valid()) throw nb::python_error();
  auto candidates = nb::steal(PyList_New(static_cast<Py_ssize_t>(r.candidates.size())));
  if (!candidates.is_valid()) throw nb::python_error();
  for (std::size_t i = 0; i < r.candidates.size(); ++i) {
    PyObject* c = lists.item(r.candidates[i]);
    Py_INCREF(c);
    PyList_SET_ITEM(candidates.ptr(), static_cast<Py_ssize_t>(i), c);
  }
  PyObject* dict = result.ptr();
  set_item(dict, n.resolved, r.resolved ? Py_True : Py_False);
  set_item(dict, n.confidence, r.resolved ? n.one : n.zero);
  set_item(dict, n.element, element);
  set_item(dict, n.candidates, candidates.ptr());
  if (r.family == matching::Family::extraction) set_item(dict, n.extracted, make_str(r.extracted).ptr());
  if (r.family != matching::Family::check) return result;

  PyObject* verified = Py_False;
  if (r.verified == matching::Verified::yes) verified = Py_True;
  if (r.verified == matching::Verified::element_visible) verified = visible.ptr();
  if (r.verified == matching::Verified::element_enabled) verified = enabled.ptr();
  set_item(dict, n.verified, verified);
  auto state = nb::steal(PyDict_New());
  if (!state.is_valid()) throw nb::python_error();
  switch (r.state) {
    case matching::State::empty:
      break;
    case matching::State::element:
    case matching::State::text_element:
      set_item(state.ptr(), n.present, Py_True);
      set_item(state.ptr(), n.visible, visible.ptr());
      if (r.state == matching::State::element) set_item(state.ptr(), n.enabled, enabled.ptr());
      break;
    case matching::State::expected:
    case matching::State::expected_actual:
      set_item(state.ptr(), n.expected, expected.ptr());
      if (r.state == matching::State::expected_actual) set_item(state.ptr(), n.actual, make_str(r.actual).ptr());
      break;
  }
  set_item(dict, n.state, state.ptr());
  return result;
}

// The text elements of a call; an absent list reads as an empty one.
struct TextElements {
  std::optional<DescriptorDicts> dicts;
  matching::NoDescriptors none;
  explicit TextElements(nb::handle list) {
    if (!list.is_none()) dicts.emplace(list, "text_elements");
  }
  matching::DescriptorList& list() { return dicts ? static_cast<matching::DescriptorList&>(*dicts) : none; }
  DescriptorDicts* dicts_or_null() { return dicts ? &*dicts : nullptr; }
};

struct Encoded {
  std::vector<PyObject*> objects;
  ~Encoded() {
    for (PyObject* o : objects) Py_DECREF(o);
  }
};

nb::object resolve(TextMatcher&, nb::handle parsed_instruction, nb::handle dom_elements, nb::handle text_elements) {
  dict_argument(parsed_instruction, "resolve", "parsed_instruction");
  list_argument(dom_elements, "resolve", "dom_elements");
  optional_list_argument(text_elements, "resolve", "text_elements");
  const Names& n = names();
  std::vector<nb::object> keep;
  Encoded encoded;
  matching::Instruction instruction;
  PyObject* dict = parsed_instruction.ptr();
  // All four looked up before any is read: each look-up may run caller code.
  PyObject* keys[] = {n.action, n.target, n.value, n.ordinal};
  PyObject* values[4];
  for (int i = 0; i < 4; ++i) {
    values[i] = PyDict_GetItemWithError(dict, keys[i]);
    if (!values[i] && PyErr_Occurred()) throw nb::python_error();
    if (values[i]) keep.push_back(nb::borrow(values[i]));
  }
  using vantor::bindings::read_field;
  read_field(values[0], instruction.action, false, encoded.objects);
  read_field(values[1], instruction.target, false, encoded.objects);
  read_field(values[2], instruction.value, false, encoded.objects);
  read_field(values[3], instruction.ordinal, false, encoded.objects);
  DescriptorDicts dom(dom_elements, "dom_elements");
  TextElements text(text_elements);
  const matching::Resolution r = matching::resolve(instruction, dom, text.list());
  const nb::handle expected = values[2] ? nb::handle(values[2]) : nb::handle(n.empty);
  return to_result(r, Lists{&dom, text.dicts_or_null()}, expected);
}

nb::object resolve_verify_spatial_text(TextMatcher&, nb::handle target, nb::handle expected, nb::handle text_elements,
                                       nb::handle dom_elements) {
  const char* f = "_resolve_verify_spatial_text";
  const auto t = str_argument(target, f, "target");
  const auto e = str_argument(expected, f, "expected");
  list_argument(text_elements, f, "text_elements");
  optional_list_argument(dom_elements, f, "dom_elements");
  TextElements text(text_elements);
  std::optional<DescriptorDicts> dom;
  if (!dom_elements.is_none()) dom.emplace(dom_elements, "dom_elements");
  DescriptorDicts* dom_or_null = dom ? &*dom : nullptr;
  const matching::Resolution r = matching::resolve_verify_spatial_text(t.view(), e.view(), text.list(), dom_or_null);
  return to_result(r, Lists{dom_or_null, text.dicts_or_null()}, expected);
}

nb::object resolve_extract_spatial_text(TextMatcher&, nb::handle target, nb::handle text_elements,
                                        nb::handle dom_elements) {
  const char* f = "_resolve_extract_spatial_text";
  const auto t = str_argument(target, f, "target");
  list_argument(text_elements, f, "text_elements");
  optional_list_argument(dom_elements, f, "dom_elements");
  TextElements text(text_elements);
  std::optional<DescriptorDicts> dom;
  if (!dom_elements.is_none()) dom.emplace(dom_elements, "dom_elements");
  DescriptorDicts* dom_or_null = dom ? &*dom : nullptr;
  const matching::Resolution r = matching::resolve_extract_spatial_text(t.view(), text.list(), dom_or_null);
  return to_result(r, Lists{dom_or_null, text.dicts_or_null()}, names().empty);
}

template <matching::Resolution (*Find)(std::string_view, matching::DescriptorList&)>
nb::object find_text(const char* function, nb::handle target, nb::handle text_elements) {
  const auto t = str_argument(target, function, "target");
  list_argument(text_elements, function, "text_elements");
  TextElements text(text_elements);
  return to_result(Find(t.view(), text.list()), Lists{nullptr, text.dicts_or_null()}, names().empty);
}

nb::object resolve_find_text(TextMatcher&, nb::handle target, nb::handle text_elements) {
  return find_text<matching::resolve_find_text>("_resolve_find_text", target, text_elements);
}

nb::object resolve_find_exact_text(TextMatcher&, nb::handle target, nb::handle text_elements) {
  return find_text<matching::resolve_find_exact_text>("_resolve_find_exact_text", target, text_elements);
}

nb::object resolve_verify(TextMatcher&, nb::handle action, nb::handle target, nb::handle dom_elements) {
  const char* f = "_resolve_verify";
  const auto a = str_argument(action, f, "action");
  const auto t = str_argument(target, f, "target");
  list_argument(dom_elements, f, "dom_elements");
  DescriptorDicts dom(dom_elements, "dom_elements");
  return to_result(matching::resolve_verify(a.view(), t.view(), dom), Lists{&dom, nullptr}, names().empty);
}

nb::object resolve_verify_text(TextMatcher&, nb::handle action, nb::handle target, nb::handle text_elements) {
  const char* f = "_resolve_verify_text";
  const auto a = str_argument(action, f, "action");
  const auto t = str_argument(target, f, "target");
  list_argument(text_elements, f, "text_elements");
  TextElements text(text_elements);
  return to_result(matching::resolve_verify_text(a.view(), t.view(), text.list()), Lists{nullptr, text.dicts_or_null()},
                   names().empty);
}

// The caller's own str when the core gave back all of it unchanged.
nb::object same_or_new(nb::handle original, std::string_view whole, std::string_view result) {
  if (result == whole) return nb::borrow(original);
  return make_str(result);
}

nb::object strip_type_descriptors(nb::handle target) {
  const auto t = str_argument(target, "_strip_type_descriptors", "target");
  return same_or_new(target, t.view(), matching::strip_type_descriptors(t.view()));
}

bool truthy(nb::handle obj) {
  const int truth = PyObject_IsTrue(obj.ptr());
  if (truth < 0) throw nb::python_error();
  return truth != 0;
}

nb::list searchable_strings(nb::handle element, nb::handle include_label) {
  dict_argument(element, "_searchable_strings", "element");
  const bool label = truthy(include_label);
  DescriptorDicts one(element, "element", true);
  matching::Descriptor d;
  one.read(0, matching::surface_needs, d);
  nb::list surfaces;
  std::string scratch;
  matching::for_each_surface(d, label, scratch, [&](std::string_view surface, const matching::Field* own) {
    // A surface that is a value as it stands is the caller's own str.
    surfaces.append(own ? nb::borrow(static_cast<PyObject*>(const_cast<void*>(own->origin))) : make_str(surface));
    return false;
  });
  return surfaces;
}

template <bool Exact>
bool match(const char* function, nb::handle target, nb::handle element, nb::handle include_label) {
  const auto t = str_argument(target, function, "target");
  dict_argument(element, function, "element");
  matching::SurfaceMatcher matcher(t.view(), truthy(include_label));
  DescriptorDicts one(element, "element", true);
  matching::Descriptor d;
  one.read(0, matching::surface_needs, d);
  return Exact ? matcher.exact_matches(d) : matcher.matches(d);
}

bool matches_element(nb::handle target, nb::handle element, nb::handle include_label) {
  return match<false>("_matches_element", target, element, include_label);
}

bool exact_matches_element(nb::handle target, nb::handle element, nb::handle include_label) {
  return match<true>("_exact_matches_element", target, element, include_label);
}

nb::object filter_by_action(nb::handle action, nb::handle elements) {
  const auto a = str_argument(action, "_filter_by_action", "action");
  list_argument(elements, "_filter_by_action", "elements");
  DescriptorDicts list(elements, "elements");
  const auto kept = matching::filter_by_action(a.view(), list);
  if (!kept) return nb::borrow(elements);
  nb::list narrowed;
  for (std::size_t i : *kept) narrowed.append(nb::handle(list.item(i)));
  return narrowed;
}

std::size_t dom_distance(nb::handle xpath_a, nb::handle xpath_b) {
  const auto a = str_argument(xpath_a, "_dom_distance", "xpath_a");
  const auto b = str_argument(xpath_b, "_dom_distance", "xpath_b");
  return matching::dom_distance(a.view(), b.view());
}

nb::object norm(nb::handle v) {
  const auto text = str_argument(v, "_norm", "v");
  return make_str(matching::norm(text.view()));
}

template <std::size_t N>
nb::object str_set(const std::array<std::string_view, N>& words, bool frozen) {
  nb::list items;
  for (std::string_view w : words) items.append(make_str(w));
  return frozen ? nb::steal(PyFrozenSet_New(items.ptr())) : nb::steal(PySet_New(items.ptr()));
}

}  // namespace

NB_MODULE(textmatcher, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Level-1 resolution: finds the element or text a step names by case-insensitive text matching.";

  auto cls =
      nb::class_<TextMatcher>(m, "TextMatcher", "Resolves targets by their text and attributes. Holds no state.")
          .def(nb::init<>())
          .def("resolve", &resolve, "parsed_instruction"_a.none(), "dom_elements"_a.none(),
               "text_elements"_a.none() = nb::none(),
               nb::sig("def resolve(self, parsed_instruction: dict, dom_elements: list[dict], "
                       "text_elements: list[dict] | None = None) -> dict"),
               "The resolution result of an instruction against the page's descriptors.")
          .def("_resolve_verify_spatial_text", &resolve_verify_spatial_text, "target"_a.none(), "expected"_a.none(),
               "text_elements"_a.none(), "dom_elements"_a.none() = nb::none(),
               nb::sig("def _resolve_verify_spatial_text(self, target: str, expected: str, "
                       "text_elements: list[dict], dom_elements: list[dict] | None = None) -> dict"),
               "Checks the text nearest to an anchor in a direction against the expected text.")
          .def("_resolve_extract_spatial_text", &resolve_extract_spatial_text, "target"_a.none(),
               "text_elements"_a.none(), "dom_elements"_a.none() = nb::none(),
               nb::sig("def _resolve_extract_spatial_text(self, target: str, text_elements: list[dict], "
                       "dom_elements: list[dict] | None = None) -> dict"),
               "Reads the text nearest to an anchor in a direction.")
          .def("_resolve_find_text", &resolve_find_text, "target"_a.none(), "text_elements"_a.none(),
               nb::sig("def _resolve_find_text(self, target: str, text_elements: list[dict]) -> dict"),
               "The shortest text element containing the target.")
          .def("_resolve_find_exact_text", &resolve_find_exact_text, "target"_a.none(), "text_elements"_a.none(),
               nb::sig("def _resolve_find_exact_text(self, target: str, text_elements: list[dict]) -> dict"),
               "The first text element whose trimmed text equals the target, ignoring case.")
          .def("_resolve_verify", &resolve_verify, "action"_a.none(), "target"_a.none(), "dom_elements"_a.none(),
               nb::sig("def _resolve_verify(self, action: str, target: str, dom_elements: list[dict]) -> dict"),
               "Checks the state of the element the target names.")
          .def("_resolve_verify_text", &resolve_verify_text, "action"_a.none(), "target"_a.none(),
               "text_elements"_a.none(),
               nb::sig("def _resolve_verify_text(self, action: str, target: str, text_elements: list[dict]) -> dict"),
               "Checks the state of the text element containing the target.");
  using vantor::bindings::add_mismatch_overload;
  add_mismatch_overload(cls, {"resolve", {"parsed_instruction", "dom_elements", "text_elements"}, 2});
  add_mismatch_overload(cls,
                        {"_resolve_verify_spatial_text", {"target", "expected", "text_elements", "dom_elements"}, 3});
  add_mismatch_overload(cls, {"_resolve_extract_spatial_text", {"target", "text_elements", "dom_elements"}, 2});
  add_mismatch_overload(cls, {"_resolve_find_text", {"target", "text_elements"}});
  add_mismatch_overload(cls, {"_resolve_find_exact_text", {"target", "text_elements"}});
  add_mismatch_overload(cls, {"_resolve_verify", {"action", "target", "dom_elements"}});
  add_mismatch_overload(cls, {"_resolve_verify_text", {"action", "target", "text_elements"}});
  vantor::bindings::add_mismatch_constructor(cls, {"__init__", {}});

  using vantor::bindings::add_mismatch_function;
  m.def("_strip_type_descriptors", &strip_type_descriptors, "target"_a.none(),
        nb::sig("def _strip_type_descriptors(target: str) -> str"),
        "The target without element-type words at its end and start.");
  add_mismatch_function(m, {"_strip_type_descriptors", {"target"}, false});
  m.def("_searchable_strings", &searchable_strings, "element"_a.none(), "include_label"_a.none() = false,
        nb::sig("def _searchable_strings(element: dict, include_label: bool = False) -> list[str]"),
        "The strings of an element a target is matched against, in order.");
  add_mismatch_function(m, {"_searchable_strings", {"element", "include_label"}, 1, false});
  m.def("_matches_element", &matches_element, "target"_a.none(), "element"_a.none(), "include_label"_a.none() = false,
        nb::sig("def _matches_element(target: str, element: dict, include_label: bool = False) -> bool"),
        "Whether some surface of the element contains the target, ignoring case.");
  add_mismatch_function(m, {"_matches_element", {"target", "element", "include_label"}, 2, false});
  m.def("_exact_matches_element", &exact_matches_element, "target"_a.none(), "element"_a.none(),
        "include_label"_a.none() = false,
        nb::sig("def _exact_matches_element(target: str, element: dict, include_label: bool = False) -> bool"),
        "Whether some trimmed surface of the element equals the target, ignoring case.");
  add_mismatch_function(m, {"_exact_matches_element", {"target", "element", "include_label"}, 2, false});
  m.def("_filter_by_action", &filter_by_action, "action"_a.none(), "elements"_a.none(),
        nb::sig("def _filter_by_action(action: str, elements: list[dict]) -> list[dict]"),
        "The elements that can take the action; all of them (the same list) when none can.");
  add_mismatch_function(m, {"_filter_by_action", {"action", "elements"}, false});
  m.def("_dom_distance", &dom_distance, "xpath_a"_a.none(), "xpath_b"_a.none(),
        nb::sig("def _dom_distance(xpath_a: str, xpath_b: str) -> int"),
        "Parent and child moves between two XPaths through their deepest common ancestor.");
  add_mismatch_function(m, {"_dom_distance", {"xpath_a", "xpath_b"}, false});
  m.def("_norm", &norm, "v"_a.none(), nb::sig("def _norm(v: str) -> str"),
        "The comparison form of a text: lower case, no currency signs or commas, trimmed.");
  add_mismatch_function(m, {"_norm", {"v"}, false});

  m.attr("_TYPE_DESCRIPTORS") = str_set(matching::type_descriptors, true);
  nb::list attributes;
  for (std::string_view a : matching::match_attributes) attributes.append(make_str(a));
  m.attr("_MATCH_ATTRIBUTES") = attributes;
  m.attr("_TYPEABLE_TAGS") = str_set(matching::typeable_tags, false);
  m.attr("_TYPEABLE_ROLES") = str_set(matching::typeable_roles, false);
  m.attr("_SELECTABLE_TAGS") = str_set(matching::selectable_tags, false);
  m.attr("_TEXT_ONLY_TAGS") = str_set(matching::text_only_tags, false);
  m.attr("_DOM_DISTANCE_THRESHOLD") = matching::dom_distance_threshold;
  nb::dict directions;
  for (const matching::DirectionPhrase& p : matching::direction_phrases)
    directions[make_str(p.phrase)] = make_str(matching::direction_name(p.direction));
  m.attr("_DIRECTIONS") = directions;
}
