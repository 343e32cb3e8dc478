// vantor.engine.strategies.textmatcher: the TextMatcher class, its match
// functions and tables.
#include <nanobind/nanobind.h>

#include "matching/action_filter.hpp"
#include "matching/module_tables.hpp"
#include "matching/resolution.hpp"
#include "matching/result_records.hpp"
#include "matching/surfaces.hpp"
#include "support/arguments.hpp"
#include "support/define.hpp"
#include "support/descriptor_list.hpp"
#include "support/error_translation.hpp"
#include "support/held_objects.hpp"
#include "support/record_fields.hpp"

namespace nb = nanobind;
using vantor::bindings::DescriptorDicts;
using vantor::bindings::dict_argument;
using vantor::bindings::list_argument;
using vantor::bindings::Lists;
using vantor::bindings::make_str;
using vantor::bindings::optional_list_argument;
using vantor::bindings::OptionalDicts;
using vantor::bindings::read_keys;
using vantor::bindings::str_argument;
using vantor::bindings::to_result;
namespace matching = vantor::matching;

namespace {

// The matcher holds nothing: every table is a constant.
struct TextMatcher {};

// References the instruction's fields hand out (encoded texts), let go at the end of the call.
struct Encoded {
  std::vector<PyObject*> objects;
  ~Encoded() {
    for (PyObject* o : objects) Py_DECREF(o);
  }
};

// What a result shows as expected when the call names nothing.
nb::handle no_text() { return vantor::bindings::empty_str(); }

nb::object resolve(TextMatcher&, nb::handle parsed_instruction, nb::handle dom_elements, nb::handle text_elements) {
  dict_argument(parsed_instruction, "resolve", "parsed_instruction");
  list_argument(dom_elements, "resolve", "dom_elements");
  optional_list_argument(text_elements, "resolve", "text_elements");
  vantor::bindings::Held keep;
  Encoded encoded;
  matching::Instruction instruction;
  // All four looked up before any is read: each look-up may run caller code.
  PyObject* values[4];
  for (std::size_t i = 0; i < 4; ++i)
    values[i] = keep.keep(vantor::bindings::field(parsed_instruction.ptr(), read_keys().key(i)));
  using vantor::bindings::read_field;
  read_field(values[0], instruction.action, false, encoded.objects);
  read_field(values[1], instruction.target, false, encoded.objects);
  read_field(values[2], instruction.value, false, encoded.objects);
  read_field(values[3], instruction.ordinal, false, encoded.objects);
  DescriptorDicts dom(dom_elements, "dom_elements");
  OptionalDicts text(text_elements, "text_elements");
  const matching::Resolution r = matching::resolve(instruction, dom, text.list());
  const nb::handle expected = values[2] ? nb::handle(values[2]) : no_text();
  return to_result(r, Lists{&dom, text.get()}, expected);
}

nb::object resolve_verify_spatial_text(TextMatcher&, nb::handle target, nb::handle expected, nb::handle text_elements,
                                       nb::handle dom_elements) {
  const char* f = "_resolve_verify_spatial_text";
  const auto t = str_argument(target, f, "target");
  const auto e = str_argument(expected, f, "expected");
  list_argument(text_elements, f, "text_elements");
  optional_list_argument(dom_elements, f, "dom_elements");
  OptionalDicts text(text_elements, "text_elements");
  OptionalDicts dom(dom_elements, "dom_elements");
  const matching::Resolution r = matching::resolve_verify_spatial_text(t.view(), e.view(), text.list(), dom.get());
  return to_result(r, Lists{dom.get(), text.get()}, expected);
}

nb::object resolve_extract_spatial_text(TextMatcher&, nb::handle target, nb::handle text_elements,
                                        nb::handle dom_elements) {
  const char* f = "_resolve_extract_spatial_text";
  const auto t = str_argument(target, f, "target");
  list_argument(text_elements, f, "text_elements");
  optional_list_argument(dom_elements, f, "dom_elements");
  OptionalDicts text(text_elements, "text_elements");
  OptionalDicts dom(dom_elements, "dom_elements");
  const matching::Resolution r = matching::resolve_extract_spatial_text(t.view(), text.list(), dom.get());
  return to_result(r, Lists{dom.get(), text.get()}, no_text());
}

template <matching::Resolution (*Find)(std::string_view, matching::DescriptorList&)>
nb::object find_text(const char* function, nb::handle target, nb::handle text_elements) {
  const auto t = str_argument(target, function, "target");
  list_argument(text_elements, function, "text_elements");
  OptionalDicts text(text_elements, "text_elements");
  return to_result(Find(t.view(), text.list()), Lists{nullptr, text.get()}, no_text());
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
  return to_result(matching::resolve_verify(a.view(), t.view(), dom), Lists{&dom, nullptr}, no_text());
}

nb::object resolve_verify_text(TextMatcher&, nb::handle action, nb::handle target, nb::handle text_elements) {
  const char* f = "_resolve_verify_text";
  const auto a = str_argument(action, f, "action");
  const auto t = str_argument(target, f, "target");
  list_argument(text_elements, f, "text_elements");
  OptionalDicts text(text_elements, "text_elements");
  return to_result(matching::resolve_verify_text(a.view(), t.view(), text.list()), Lists{nullptr, text.get()},
                   no_text());
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

nb::list searchable_strings(nb::handle element, nb::handle include_label) {
  dict_argument(element, "_searchable_strings", "element");
  const bool label = vantor::bindings::truthy(include_label.ptr());
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
  matching::SurfaceMatcher matcher(t.view(), vantor::bindings::truthy(include_label.ptr()));
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

}  // namespace

NB_MODULE(textmatcher, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Level-1 resolution: finds the element or text a step names by case-insensitive text matching.";
  using vantor::bindings::def_function;
  using vantor::bindings::def_method;

  auto cls =
      nb::class_<TextMatcher>(m, "TextMatcher", "Resolves targets by their text and attributes. Holds no state.");
  def_method(
      cls, "def __init__(self) -> None", +[](TextMatcher* self) { new (self) TextMatcher{}; });
  def_method(cls,
             "def resolve(self, parsed_instruction: dict, dom_elements: list[dict], "
             "text_elements: list[dict] | None = None) -> dict",
             &resolve, "The resolution result of an instruction against the page's descriptors.");
  def_method(cls,
             "def _resolve_verify_spatial_text(self, target: str, expected: str, text_elements: list[dict], "
             "dom_elements: list[dict] | None = None) -> dict",
             &resolve_verify_spatial_text,
             "Checks the text nearest to an anchor in a direction against the expected text.");
  def_method(cls,
             "def _resolve_extract_spatial_text(self, target: str, text_elements: list[dict], "
             "dom_elements: list[dict] | None = None) -> dict",
             &resolve_extract_spatial_text, "Reads the text nearest to an anchor in a direction.");
  def_method(cls, "def _resolve_find_text(self, target: str, text_elements: list[dict]) -> dict", &resolve_find_text,
             "The shortest text element containing the target.");
  def_method(cls, "def _resolve_find_exact_text(self, target: str, text_elements: list[dict]) -> dict",
             &resolve_find_exact_text, "The first text element whose trimmed text equals the target, ignoring case.");
  def_method(cls, "def _resolve_verify(self, action: str, target: str, dom_elements: list[dict]) -> dict",
             &resolve_verify, "Checks the state of the element the target names.");
  def_method(cls, "def _resolve_verify_text(self, action: str, target: str, text_elements: list[dict]) -> dict",
             &resolve_verify_text, "Checks the state of the text element containing the target.");

  def_function(m, "def _strip_type_descriptors(target: str) -> str", &strip_type_descriptors,
               "The target without element-type words at its end and start.");
  def_function(m, "def _searchable_strings(element: dict, include_label: bool = False) -> list[str]",
               &searchable_strings, "The strings of an element a target is matched against, in order.");
  def_function(m, "def _matches_element(target: str, element: dict, include_label: bool = False) -> bool",
               &matches_element, "Whether some surface of the element contains the target, ignoring case.");
  def_function(m, "def _exact_matches_element(target: str, element: dict, include_label: bool = False) -> bool",
               &exact_matches_element, "Whether some trimmed surface of the element equals the target, ignoring case.");
  def_function(m, "def _filter_by_action(action: str, elements: list[dict]) -> list[dict]", &filter_by_action,
               "The elements that can take the action; all of them (the same list) when none can.");
  def_function(m, "def _dom_distance(xpath_a: str, xpath_b: str) -> int", &dom_distance,
               "Parent and child moves between two XPaths through their deepest common ancestor.");
  def_function(m, "def _norm(v: str) -> str", &norm,
               "The comparison form of a text: lower case, no currency signs or commas, trimmed.");

  vantor::bindings::add_matching_tables(m);
}
