// vantor.engine.spatial.gridseeker: the GridSeeker class, which resolves
// spatial targets ("second button below email") over a matrix, and the
// grammar and geometry it is made of.
#include <nanobind/nanobind.h>

#include <array>
#include <optional>

#include "spatial/entry_keys.hpp"
#include "spatial/python_entries.hpp"
#include "spatial/resolution_records.hpp"
#include "spatial/resolver.hpp"
#include "spatial/target_grammar.hpp"
#include "support/arguments.hpp"
#include "support/define.hpp"
#include "support/error_translation.hpp"
#include "support/held_objects.hpp"
#include "support/record_fields.hpp"
#include "support/record_shape.hpp"

namespace nb = nanobind;
using namespace nb::literals;
namespace spatial = vantor::spatial;
using vantor::bindings::checked;
using vantor::bindings::empty_str;
using vantor::bindings::entry_keys;
using vantor::bindings::interned;
using vantor::bindings::make_str;
using vantor::bindings::ordinal_key;
using vantor::bindings::put;
using vantor::bindings::put_new;
using vantor::bindings::PythonEntries;
using vantor::bindings::raise_argument_type;
using vantor::bindings::relation_object;
using vantor::bindings::result_of;
using vantor::bindings::str_argument;
using vantor::bindings::type_object;
using vantor::bindings::unresolved;

namespace {

struct GridSeeker {
  nb::object matrix;
};

nb::object optional_str(const std::optional<std::string>& text) {
  return text ? nb::object(make_str(*text)) : nb::none();
}

PyObject* target_key() {
  static PyObject* const made = interned("target");
  return made;
}

// The instruction's own ordinal when the reader moved an ordinal word out of
// the target ("click second button below Email" has target "button below
// Email" and ordinal 2). Only a plain int above 1 says anything.
std::optional<std::int64_t> instruction_ordinal(PyObject* instruction) {
  PyObject* v = vantor::bindings::field(instruction, ordinal_key());
  if (!v || !PyLong_Check(v) || PyBool_Check(v)) return std::nullopt;
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(v, &overflow);
  if (overflow > 0) return INT64_MAX;
  if (n > 1) return n;
  return std::nullopt;
}

nb::dict resolve(GridSeeker& self, nb::handle parsed_instruction) {
  if (!PyDict_Check(parsed_instruction.ptr()))
    raise_argument_type("resolve", "parsed_instruction", "dict", parsed_instruction);
  PyObject* target = vantor::bindings::field(parsed_instruction.ptr(), target_key());
  if (!target) target = empty_str();
  const nb::object hold = nb::borrow(target);
  if (!PyUnicode_Check(target)) vantor::bindings::raise_kind("the instruction's 'target'", "str", target);
  const vantor::bindings::Utf8 text(target);
  const spatial::SpatialTarget parsed =
      spatial::parse_target(text.view(), instruction_ordinal(parsed_instruction.ptr()));
  if (!parsed.has_anchor() && !parsed.ordinal) return unresolved();  // not a spatial target
  const PythonEntries entries(self.matrix);
  return result_of(entries, spatial::resolve(entries, parsed));
}

std::optional<std::string_view> optional_text(nb::handle obj, const char* function, const char* argument,
                                              std::optional<vantor::bindings::Utf8>& keep) {
  if (obj.is_none()) return std::nullopt;
  if (!PyUnicode_Check(obj.ptr())) raise_argument_type(function, argument, "str or None", obj);
  return keep.emplace(obj).view();
}

std::optional<std::int64_t> optional_int(nb::handle obj, const char* function, const char* argument, bool allow_none) {
  if (allow_none && obj.is_none()) return std::nullopt;
  if (!PyLong_Check(obj.ptr())) raise_argument_type(function, argument, allow_none ? "int or None" : "int", obj);
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(obj.ptr(), &overflow);
  if (overflow != 0) return overflow > 0 ? INT64_MAX : INT64_MIN;
  return n;
}

nb::object find_anchor(GridSeeker& self, nb::handle anchor_text) {
  const auto text = str_argument(anchor_text, "_find_anchor", "anchor_text");
  const PythonEntries entries(self.matrix);
  const auto anchor = spatial::find_anchor(entries, text.view());
  if (!anchor) return nb::none();
  return nb::borrow(entries.entry(*anchor));
}

nb::list rank(GridSeeker&, nb::handle candidates, nb::handle anchor, nb::handle strategy, nb::handle ordinal) {
  vantor::bindings::list_argument(candidates, "_rank", "candidates");
  if (!PyDict_Check(anchor.ptr())) raise_argument_type("_rank", "anchor", "dict", anchor);
  std::optional<vantor::bindings::Utf8> keep;
  const auto strategy_name = optional_text(strategy, "_rank", "strategy", keep);
  const auto n = optional_int(ordinal, "_rank", "ordinal", true);
  const PythonEntries entries(candidates, {anchor});
  const std::size_t anchor_at = entries.size() - 1;
  std::vector<std::size_t> all(anchor_at);
  for (std::size_t i = 0; i < anchor_at; ++i) all[i] = i;
  const auto relation = strategy_name ? spatial::relation_from_name(*strategy_name) : std::nullopt;
  const auto ranked = spatial::rank(entries, all, anchor_at, relation, n);
  nb::list out;
  for (std::size_t i : ranked) out.append(nb::handle(entries.entry(i)));
  return out;
}

nb::dict resolve_ordinal(GridSeeker& self, nb::handle ordinal, nb::handle type_filter, nb::handle search_text) {
  const auto n = optional_int(ordinal, "_resolve_ordinal", "ordinal", false);
  std::optional<vantor::bindings::Utf8> keep_type, keep_search;
  const auto type = optional_text(type_filter, "_resolve_ordinal", "type_filter", keep_type);
  const auto search = optional_text(search_text, "_resolve_ordinal", "search_text", keep_search);
  const PythonEntries entries(self.matrix);
  return result_of(entries, spatial::resolve_ordinal(entries, *n, type, search));
}

void init(GridSeeker* self, nb::handle matrix) {
  new (self) GridSeeker{vantor::bindings::list_argument(matrix, "GridSeeker", "matrix")};
}

nb::tuple parse_target(nb::handle target) {
  const auto text = str_argument(target, "_parse_target", "target");
  const spatial::SpatialTarget p = spatial::parse_target(text.view());
  return nb::make_tuple(optional_str(p.anchor_text), nb::handle(relation_object(p.relation)),
                        nb::handle(type_object(p.type_filter)),
                        p.ordinal ? nb::object(nb::int_(*p.ordinal)) : nb::none(), optional_str(p.search_text),
                        optional_str(p.target_text));
}

nb::str normalize(nb::handle text) {
  const auto utf8 = str_argument(text, "_normalize", "text");
  return make_str(spatial::normalize(utf8.view()));
}

// Two entries given as arguments, as the geometry functions take them.
PythonEntries pair(const char* function, nb::handle a, nb::handle b) {
  if (!PyDict_Check(a.ptr())) raise_argument_type(function, "a", "dict", a);
  if (!PyDict_Check(b.ptr())) raise_argument_type(function, "b", "dict", b);
  return PythonEntries(nb::handle(), {a, b});
}

double centre_distance(nb::handle a, nb::handle b) {
  const PythonEntries e = pair("_centre_distance", a, b);
  using C = spatial::Coordinate;
  return spatial::centre_distance(e.coordinate(0, C::cx), e.coordinate(0, C::cy), e.coordinate(1, C::cx),
                                  e.coordinate(1, C::cy));
}

bool overlaps_vertically(nb::handle a, nb::handle b) {
  const PythonEntries e = pair("_overlaps_vertically", a, b);
  using C = spatial::Coordinate;
  return spatial::overlaps({e.coordinate(0, C::y), e.coordinate(0, C::y2)},
                           {e.coordinate(1, C::y), e.coordinate(1, C::y2)});
}

bool overlaps_horizontally(nb::handle a, nb::handle b) {
  const PythonEntries e = pair("_overlaps_horizontally", a, b);
  using C = spatial::Coordinate;
  return spatial::overlaps({e.coordinate(0, C::x), e.coordinate(0, C::x2)},
                           {e.coordinate(1, C::x), e.coordinate(1, C::x2)});
}

std::int64_t dom_distance(nb::handle xpath_a, nb::handle xpath_b) {
  const auto a = str_argument(xpath_a, "_dom_distance", "xpath_a");
  const auto b = str_argument(xpath_b, "_dom_distance", "xpath_b");
  return spatial::dom_distance(a.view(), b.view());
}

}  // namespace

NB_MODULE(gridseeker, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Resolves spatial targets (the second button below Email) over the matrix of a page.";
  using vantor::bindings::def_function;
  using vantor::bindings::def_method;

  auto cls =
      nb::class_<GridSeeker>(m, "GridSeeker", "Resolves spatial targets over one matrix.",
                             nb::type_slots(vantor::bindings::held_objects_slots<GridSeeker, &GridSeeker::matrix>()));
  def_method(cls, "def __init__(self, matrix: list[dict]) -> None", &init);
  cls.def_prop_ro(
      "matrix", [](GridSeeker& g) { return vantor::bindings::held_list(g.matrix); }, "The matrix, as given.");
  def_method(cls, "def resolve(self, parsed_instruction: dict) -> dict", &resolve,
             "The resolution result of the instruction's target.");
  def_method(cls, "def _find_anchor(self, anchor_text: str) -> dict | None", &find_anchor,
             "The matrix entry an anchor phrase names, or None.");
  def_method(cls,
             "def _rank(self, candidates: list[dict], anchor: dict, strategy: str | None, "
             "ordinal: int | None) -> list[dict]",
             &rank, "The candidates in the relation to the anchor, best first.");
  def_method(cls,
             "def _resolve_ordinal(self, ordinal: int, type_filter: str | None, "
             "search_text: str | None = None) -> dict",
             &resolve_ordinal, "The resolution result of a target named by ordinal alone.");

  def_function(m,
               "def _parse_target(target: str) -> tuple[str | None, str | None, str | None, int | None, "
               "str | None, str | None]",
               &parse_target,
               "anchor_text, rel_strategy, type_filter, ordinal, search_text, target_text of a target phrase.");
  def_function(m, "def _normalize(text: str) -> str", &normalize, "Lower case without blanks and hyphens.");
  def_function(m, "def _centre_distance(a: dict, b: dict) -> float", &centre_distance,
               "Distance between two entries' centres.");
  def_function(m, "def _overlaps_vertically(a: dict, b: dict) -> bool", &overlaps_vertically,
               "Whether two entries share a row.");
  def_function(m, "def _overlaps_horizontally(a: dict, b: dict) -> bool", &overlaps_horizontally,
               "Whether two entries share a column.");
  def_function(m, "def _dom_distance(xpath_a: str, xpath_b: str) -> int", &dom_distance,
               "Steps that differ between two XPaths.");

  nb::dict relations;
  for (const spatial::RelationPhrase& r : spatial::relation_phrases)
    relations[make_str(r.phrase)] = nb::handle(relation_object(r.relation));
  m.attr("_RELATIONS") = relations;
  nb::dict ordinals;
  for (const spatial::OrdinalWord& o : spatial::ordinal_words) ordinals[make_str(o.word)] = o.number;
  m.attr("_ORDINALS") = ordinals;
  nb::dict types;
  for (const spatial::TypeKeyword& t : spatial::type_keywords) types[make_str(t.word)] = make_str(t.type);
  m.attr("_TYPE_KEYWORDS") = types;
  m.attr("NEAR_MAX_PIXELS") = spatial::near_max_pixels;
  m.attr("NEAR_MAX_DOM_STEPS") = spatial::near_max_dom_steps;
  m.attr("SPATIAL_TOLERANCE") = spatial::spatial_tolerance;
}
