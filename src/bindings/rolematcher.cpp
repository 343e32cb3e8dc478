// vantor.engine.strategies.rolematcher: the RoleMatcher class. Reads the
// scanner's descriptors and the page facts into the role rules' candidates
// and gives back a resolution result in the text matcher's shape.
#include <nanobind/nanobind.h>

#include <optional>
#include <span>
#include <vector>

#include "roles/candidates.hpp"
#include "roles/resolve.hpp"
#include "support/arguments.hpp"
#include "support/define.hpp"
#include "support/descriptor_list.hpp"
#include "support/error_translation.hpp"
#include "support/record_fields.hpp"
#include "support/record_shape.hpp"

namespace nb = nanobind;
using vantor::bindings::compat_text;
using vantor::bindings::DescriptorDicts;
using vantor::bindings::interned;
using vantor::bindings::make_str;
namespace matching = vantor::matching;
namespace roles = vantor::roles;

namespace {

struct RoleMatcher {};

using vantor::bindings::Field;
using vantor::bindings::put;
using vantor::bindings::RecordShape;

enum class InstructionKey { action, target, literal_target, ordinal };
const RecordShape<InstructionKey>& instruction_keys() {
  static const RecordShape<InstructionKey> shape{"action", "target", "_literal_target", "ordinal"};
  return shape;
}

// The result records: the text matcher's keys, then "ambiguous" and "rule".
enum class ResultKey { resolved, verified, confidence, element, state, candidates, ambiguous, rule };
const RecordShape<ResultKey>& result_keys() {
  static const RecordShape<ResultKey> shape{"resolved", "verified",   "confidence", "element",
                                            "state",    "candidates", "ambiguous",  "rule"};
  return shape;
}
const vantor::bindings::Shape& result_shape(bool check) {
  static const vantor::bindings::Shape element{Field{"resolved"}, {"confidence"}, {"element"},
                                               {"candidates"},    {"ambiguous"},  {"rule"}};
  static const vantor::bindings::Shape check_result{Field{"resolved"}, {"verified"},   {"confidence"}, {"element"},
                                                    {"state"},         {"candidates"}, {"ambiguous"},  {"rule"}};
  return check ? check_result : element;
}

enum class StateKey { present, visible, enabled };
const RecordShape<StateKey>& state_keys() {
  static const RecordShape<StateKey> shape{"present", "visible", "enabled"};
  return shape;
}

nb::object to_result(const roles::Outcome& o, const std::vector<roles::Candidate>& candidates,
                     DescriptorDicts& elements, DescriptorDicts* texts) {
  auto item = [&](std::size_t i) -> PyObject* {
    const roles::Candidate& c = candidates[i];
    return c.list == roles::List::elements ? elements.item(c.index) : texts->item(c.index);
  };
  auto flag = [](bool b) { return b ? Py_True : Py_False; };
  const auto& k = result_keys();
  const bool check = o.family == roles::Family::check;
  const nb::dict result = result_shape(check).make();
  PyObject* r = result.ptr();
  put(r, k.key(ResultKey::resolved), flag(o.resolved));
  if (check) put(r, k.key(ResultKey::verified), flag(o.verified));
  put(r, k.key(ResultKey::confidence), nb::float_(o.resolved ? o.confidence : 0.0).ptr());
  put(r, k.key(ResultKey::element), o.element ? item(*o.element) : Py_None);
  if (check) {
    const nb::dict state;
    if (o.state != roles::StateKeys::none && o.element) {
      const roles::Candidate& c = candidates[*o.element];
      put(state.ptr(), state_keys().key(StateKey::present), Py_True);
      put(state.ptr(), state_keys().key(StateKey::visible), flag(c.visible));
      if (o.state == roles::StateKeys::element) put(state.ptr(), state_keys().key(StateKey::enabled), flag(c.enabled));
    }
    put(r, k.key(ResultKey::state), state.ptr());
  }
  nb::list listed;
  for (std::size_t i : o.candidates) listed.append(nb::handle(item(i)));
  put(r, k.key(ResultKey::candidates), listed.ptr());
  put(r, k.key(ResultKey::ambiguous), flag(o.ambiguous));
  put(r, k.key(ResultKey::rule), make_str(o.rule).ptr());
  return result;
}

using Rule = roles::Outcome (*)(const roles::Request&, std::span<const roles::Candidate>);

nb::object answer(Rule rule, const char* f, nb::handle parsed_instruction, nb::handle elements,
                  nb::handle text_elements, nb::handle facts) {
  vantor::bindings::dict_argument(parsed_instruction, f, "parsed_instruction");
  vantor::bindings::list_argument(elements, f, "elements");
  vantor::bindings::optional_list_argument(text_elements, f, "text_elements");
  vantor::bindings::optional_dict_argument(facts, f, "facts");

  // What the rules read of the instruction, copied before any caller list is read.
  PyObject* parsed = parsed_instruction.ptr();
  const auto& k = instruction_keys();
  const std::string action = compat_text(vantor::bindings::field(parsed, k.key(InstructionKey::action)));
  const std::string target = compat_text(vantor::bindings::field(parsed, k.key(InstructionKey::target)));
  PyObject* literal = vantor::bindings::field(parsed, k.key(InstructionKey::literal_target));
  const bool quoted = literal && vantor::bindings::truthy(literal);
  PyObject* ordinal_object = vantor::bindings::field(parsed, k.key(InstructionKey::ordinal));
  int ordinal = 1;
  if (ordinal_object && PyLong_Check(ordinal_object)) {
    ordinal = static_cast<int>(PyLong_AsLong(ordinal_object));
    if (ordinal == -1 && PyErr_Occurred()) throw nb::python_error();
  }

  nb::object facts_held = nb::borrow(facts);  // caller code run meanwhile cannot free it
  PyObject* facts_dict = facts.is_none() ? nullptr : facts.ptr();
  DescriptorDicts element_dicts(elements, "elements");
  std::optional<DescriptorDicts> text_dicts;
  if (!text_elements.is_none()) text_dicts.emplace(text_elements, "text_elements");
  std::vector<roles::Candidate> candidates;
  read_candidates(element_dicts, roles::List::elements, facts_dict, candidates);
  if (text_dicts) read_candidates(*text_dicts, roles::List::texts, facts_dict, candidates);

  const roles::Outcome outcome = rule({action, target, quoted, ordinal}, candidates);
  return to_result(outcome, candidates, element_dicts, text_dicts ? &*text_dicts : nullptr);
}

nb::object resolve(RoleMatcher&, nb::handle parsed_instruction, nb::handle elements, nb::handle text_elements,
                   nb::handle facts) {
  return answer(&roles::resolve, "resolve", parsed_instruction, elements, text_elements, facts);
}

nb::object resolve_placed(RoleMatcher&, nb::handle parsed_instruction, nb::handle elements, nb::handle text_elements,
                          nb::handle facts) {
  return answer(&roles::resolve_placed, "resolve_placed", parsed_instruction, elements, text_elements, facts);
}

}  // namespace

NB_MODULE(rolematcher, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Resolves a step's target by role and accessible name, as assistive technology names elements.";
  using vantor::bindings::def_method;
  auto cls = nb::class_<RoleMatcher>(m, "RoleMatcher",
                                     "Finds the element a step names by its role and accessible name. Holds no state.");
  def_method(
      cls, "def __init__(self) -> None", +[](RoleMatcher* self) { new (self) RoleMatcher{}; });
  def_method(cls,
             "def resolve(self, parsed_instruction: dict, elements: list[dict], "
             "text_elements: list[dict] | None = None, facts: dict | None = None) -> dict",
             &resolve, "The resolution result of an instruction against the page's descriptors and their facts.");
  def_method(cls,
             "def resolve_placed(self, parsed_instruction: dict, elements: list[dict], "
             "text_elements: list[dict] | None = None, facts: dict | None = None) -> dict",
             &resolve_placed,
             "For a target placed by a spatial phrase: the element of its role and name nearest to the anchor in that "
             "direction. Meant for after text matching and spatial found nothing.");
}
