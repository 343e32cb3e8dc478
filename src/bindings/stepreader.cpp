// vantor.engine.agent.stepreader: the StepReader class and its vocabulary.
#include <nanobind/nanobind.h>

#include <array>
#include <memory>

#include "steps/action_kinds.hpp"
#include "steps/parser.hpp"
#include "steps/target_text.hpp"
#include "steps/validator.hpp"
#include "steps/vocabulary.hpp"
#include "support/arguments.hpp"
#include "support/define.hpp"
#include "support/error_translation.hpp"

namespace nb = nanobind;
using vantor::bindings::interned;
using vantor::bindings::make_str;
using vantor::bindings::str_argument;
namespace steps = vantor::steps;

namespace {

// The reader holds nothing: every table is a constant.
struct StepReader {};

// Record keys, action names and two blank records (with and without the
// ordinal), made once: a parse copies a blank record, which keeps the key
// order and is much cheaper than inserting the keys one by one. Kept for the
// interpreter's lifetime on purpose.
struct Names {
  PyObject *action, *target, *value, *ordinal, *literal_target;
  PyObject *blank_with_ordinal, *blank_without_ordinal;
  std::array<PyObject*, steps::action_names.size()> actions;
};

void set_item(PyObject* dict, PyObject* key, PyObject* value) {
  if (PyDict_SetItem(dict, key, value) != 0) throw nb::python_error();
}

PyObject* blank_record(const Names& n, bool with_ordinal) {
  PyObject* record = PyDict_New();
  if (!record) throw nb::python_error();
  for (PyObject* key : {n.action, n.target, n.value}) set_item(record, key, Py_None);
  if (with_ordinal) set_item(record, n.ordinal, Py_None);
  set_item(record, n.literal_target, Py_False);
  return record;
}

// Made on first use. Should a Python call fail (MemoryError), the error is
// raised and the next call tries again.
const Names& names() {
  static const Names* const made = [] {
    auto n = std::make_unique<Names>();
    n->action = interned("action");
    n->target = interned("target");
    n->value = interned("value");
    n->ordinal = interned("ordinal");
    n->literal_target = interned("_literal_target");
    n->blank_with_ordinal = blank_record(*n, true);
    n->blank_without_ordinal = blank_record(*n, false);
    for (std::size_t i = 0; i < n->actions.size(); ++i)
      n->actions[i] = make_str(steps::action_names[i]).release().ptr();
    return n.release();
  }();
  return *made;
}

// Keys in their fixed order: action, target, value, ordinal (click and
// extract_text only), _literal_target.
nb::dict to_record(const steps::ParsedInstruction& p) {
  const Names& n = names();
  auto record = nb::steal<nb::dict>(PyDict_Copy(p.ordinal ? n.blank_with_ordinal : n.blank_without_ordinal));
  if (!record.is_valid()) throw nb::python_error();
  set_item(record.ptr(), n.action, n.actions[static_cast<std::size_t>(p.action)]);
  if (p.target) set_item(record.ptr(), n.target, make_str(*p.target).ptr());
  if (p.value) set_item(record.ptr(), n.value, make_str(*p.value).ptr());
  if (p.ordinal) set_item(record.ptr(), n.ordinal, nb::int_(*p.ordinal).ptr());
  if (p.literal_target) set_item(record.ptr(), n.literal_target, Py_True);
  return record;
}

nb::list str_list(const auto& texts) {
  nb::list list;
  for (const auto& t : texts) list.append(make_str(t));
  return list;
}

// The caller's own str when the core handed back all of it unchanged.
nb::object same_or_new(nb::handle original, std::string_view whole, std::string_view part) {
  if (part.data() == whole.data() && part.size() == whole.size()) return nb::borrow(original);
  return make_str(part);
}

// --- What each action is, and why a step cannot be read ----------------------

// The ValueError of an unreadable step, its message unchanged, carrying
// `kind` ("unrecognised") and `detail` (the message without the list of
// supported actions) for callers that show the reason alone.
[[noreturn]] void raise_unreadable(const steps::UnreadableStep& e) {
  const auto decoded = [](std::string_view s) {  // a caller's lone surrogates stay as they were
    return nb::steal(PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogatepass"));
  };
  const nb::object message = decoded(e.what()), detail = decoded(e.reason());
  if (!message.is_valid() || !detail.is_valid()) throw nb::python_error();
  const nb::object error = nb::handle(PyExc_ValueError)(message);
  nb::setattr(error, "kind", nb::str("unrecognised"));
  nb::setattr(error, "detail", detail);
  PyErr_SetObject(PyExc_ValueError, error.ptr());
  throw nb::python_error();
}

// One read-only record per action, in the order of action_names:
// (name, kind, needs an enabled element), from steps/action_kinds.hpp.
nb::tuple action_table() {
  nb::list records;
  for (std::size_t i = 0; i < steps::action_names.size(); ++i) {
    const steps::ActionTraits traits = steps::action_traits[i];
    records.append(nb::make_tuple(make_str(steps::action_names[i]), make_str(steps::kind_name(traits.kind)),
                                  nb::bool_(traits.needs_enabled)));
  }
  return nb::tuple(records);
}

nb::dict parse(StepReader&, nb::handle instruction) {
  const auto text = str_argument(instruction, "parse", "instruction");
  try {
    return to_record(steps::parse(text.view()));
  } catch (const steps::UnreadableStep& e) {
    raise_unreadable(e);
  }
}

nb::list validate(StepReader&, nb::handle instruction) {
  const auto text = str_argument(instruction, "validate", "instruction");
  return str_list(steps::validate(text.view()));
}

nb::dict validate_all(StepReader&, nb::handle instructions) {
  const nb::list lines = vantor::bindings::list_argument(instructions, "validate_all", "instructions");
  std::vector<vantor::bindings::Utf8> texts;
  std::vector<std::string_view> views;
  texts.reserve(lines.size());
  views.reserve(lines.size());
  for (nb::handle line : lines) {
    texts.push_back(str_argument(line, "validate", "instruction"));
    views.push_back(texts.back().view());
  }
  nb::dict report;
  for (const auto& [line_number, issues] : steps::validate_all(views)) report[nb::int_(line_number)] = str_list(issues);
  return report;
}

nb::tuple unquote(StepReader&, nb::handle instruction) {
  const auto text = str_argument(instruction, "_unquote", "instruction");
  const steps::Unquoted unquoted(text.view());
  return nb::make_tuple(same_or_new(instruction, text.view(), unquoted.text()), str_list(unquoted.literals()));
}

nb::str clean_target(StepReader&, nb::handle target) {
  const auto text = str_argument(target, "_clean_target", "target");
  return make_str(steps::clean_target(text.view()));
}

nb::tuple extract_ordinal(nb::handle text) {
  const auto utf8 = str_argument(text, "_extract_ordinal", "text");
  const steps::OrdinalSplit split = steps::extract_ordinal(utf8.view());
  return nb::make_tuple(split.ordinal, same_or_new(text, utf8.view(), split.rest));
}

template <typename Table>
nb::dict states_dict(const Table& states) {
  nb::dict d;
  for (const steps::StateSuffix& s : states) d[make_str(s.suffix)] = make_str(steps::action_name(s.action));
  return d;
}

nb::set str_set(const auto& words) {
  nb::set set;
  for (std::string_view w : words) set.add(make_str(w));
  return set;
}

}  // namespace

NB_MODULE(stepreader, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Turns plain-English test steps into parsed instructions and checks scripts for malformed steps.";

  using vantor::bindings::def_method;
  auto cls = nb::class_<StepReader>(m, "StepReader", "Reads the steps of a test script. Holds no state.");
  def_method(
      cls, "def __init__(self) -> None", +[](StepReader* self) { new (self) StepReader{}; });
  def_method(cls, "def parse(self, instruction: str) -> dict[str, str | int | bool | None]", &parse,
             "The parsed instruction of one step; ValueError when no rule accepts it.");
  def_method(cls, "def validate(self, instruction: str) -> list[str]", &validate,
             "The problems of one line, in words; empty when clean.");
  def_method(cls, "def validate_all(self, instructions: list[str]) -> dict[int, list[str]]", &validate_all,
             "Line number (from 1) to problems, for each line of the script that has any.");
  def_method(cls, "def _unquote(self, instruction: str) -> tuple[str, list[str]]", &unquote,
             "The step without the double quotes of its quoted phrases, and those phrases.");
  def_method(cls, "def _clean_target(self, target: str) -> str", &clean_target,
             "The target without its leading filler words, words joined by single spaces.");

  nb::list supported;
  for (std::size_t i = 0; i < steps::supported_action_count; ++i) supported.append(make_str(steps::action_names[i]));
  cls.attr("SUPPORTED_ACTIONS") = supported;
  cls.attr("_KNOWN_ACTIONS") = str_set(steps::known_actions);
  cls.attr("_STOP_WORDS") = str_set(steps::stop_words);
  cls.attr("_VERIFY_STATES") = states_dict(steps::verify_states);
  cls.attr("_VERIFY_TEXT_STATES") = states_dict(steps::verify_text_states);

  vantor::bindings::def_function(m, "def _extract_ordinal(text: str) -> tuple[int, str]", &extract_ordinal,
                                 "A leading ordinal word's number (1 without one) and the text after it.");
  nb::dict ordinals;
  for (const steps::OrdinalWord& o : steps::ordinal_words) ordinals[make_str(o.word)] = o.number;
  m.attr("_ORDINALS") = ordinals;
  nb::list spatial;
  for (std::string_view kw : steps::spatial_keywords) spatial.append(make_str(kw));
  m.attr("_SPATIAL_KW") = nb::tuple(spatial);
  m.attr("_QUOTE_RE") = nb::module_::import_("re").attr("compile")(make_str(steps::quote_pattern));
  m.attr("_ACTION_TABLE") = action_table();
}
