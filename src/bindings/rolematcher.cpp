// vantor.engine.strategies.rolematcher: the RoleMatcher class. Reads the
// scanner's descriptors and the page facts into the role rules' candidates
// and gives back a resolution result in the text matcher's shape.
#include <nanobind/nanobind.h>

#include <optional>
#include <span>
#include <vector>

#include "roles/resolve.hpp"
#include "support/arguments.hpp"
#include "support/descriptor_list.hpp"
#include "support/error_translation.hpp"
#include "support/record_fields.hpp"
#include "support/signature.hpp"

namespace nb = nanobind;
using namespace nb::literals;
using vantor::bindings::DescriptorDicts;
using vantor::bindings::interned;
using vantor::bindings::make_str;
namespace matching = vantor::matching;
namespace roles = vantor::roles;

namespace {

struct RoleMatcher {};

PyObject* key(const char* name) { return interned(name); }

// A caller's str as the rules compare it: Unicode compatibility forms folded
// (NFKC) by the host's own Unicode database; "" for anything but a str.
std::string compat_text(PyObject* value) {
  if (!value || !PyUnicode_Check(value)) return {};
  if (PyUnicode_IS_ASCII(value))
    return {static_cast<const char*>(PyUnicode_DATA(value)), static_cast<std::size_t>(PyUnicode_GET_LENGTH(value))};
  static PyObject* const normalize = [] {
    nb::object module = nb::module_::import_("unicodedata");
    return nb::object(module.attr("normalize")).release().ptr();
  }();
  nb::object folded = nb::steal(PyObject_CallFunctionObjArgs(normalize, key("NFKC"), value, nullptr));
  if (!folded.is_valid()) throw nb::python_error();
  Py_ssize_t size = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(folded.ptr(), &size);
  if (!utf8) {
    PyErr_Clear();  // lone surrogates: no name a person types
    return {};
  }
  return {utf8, static_cast<std::size_t>(size)};
}

std::string compat_text(const matching::Field& field) {
  return field.is_text() ? compat_text(static_cast<PyObject*>(const_cast<void*>(field.origin))) : std::string();
}

PyObject* fact(PyObject* facts, const char* name) {
  return facts ? vantor::bindings::field(facts, key(name)) : nullptr;
}

int int_fact(PyObject* facts, const char* name) {
  PyObject* v = fact(facts, name);
  if (!v || !PyLong_Check(v)) return -1;
  const long n = PyLong_AsLong(v);
  if (n == -1 && PyErr_Occurred()) {
    PyErr_Clear();
    return -1;
  }
  return static_cast<int>(n);
}

// Type, id, class and data- values: the words that name an element only when nothing else does.
std::string fallback_words(const matching::Descriptor& d) {
  std::string words;
  auto add = [&](std::string text) {
    if (text.empty()) return;
    if (!words.empty()) words += ' ';
    words += text;
  };
  add(compat_text(d.attributes.type));
  add(compat_text(d.attributes.id));
  add(compat_text(d.attributes.class_name));
  if (d.attributes_field.is_record()) {
    PyObject* attributes = static_cast<PyObject*>(const_cast<void*>(d.attributes_field.origin));
    PyObject *name, *value;
    Py_ssize_t pos = 0;
    while (PyDict_Next(attributes, &pos, &name, &value))
      if (PyUnicode_Check(name) && PyUnicode_Tailmatch(name, key("data-"), 0, PY_SSIZE_T_MAX, -1) == 1)
        add(compat_text(value));
  }
  return words;
}

// The page's text of a fact when it has one, else the descriptor's attribute.
std::string fact_or(PyObject* facts, const char* name, const matching::Field& attribute) {
  PyObject* v = fact(facts, name);
  return v && PyUnicode_Check(v) ? compat_text(v) : compat_text(attribute);
}

constexpr unsigned candidate_needs =
    matching::need::tag | matching::need::text | matching::need::attributes | matching::need::coordinates |
    matching::need::is_visible | matching::need::is_enabled | matching::need::is_editable_field | matching::need::xpath;

void read_candidates(DescriptorDicts& list, roles::List which, PyObject* facts_by_xpath,
                     std::vector<roles::Candidate>& out) {
  matching::Descriptor d;
  for (std::size_t i = 0; i < list.size(); ++i) {
    list.read(i, candidate_needs, d);
    roles::Candidate c;
    c.list = which;
    c.index = i;
    c.xpath = std::string(d.xpath.text_or_empty());
    PyObject* facts = nullptr;
    if (facts_by_xpath && d.xpath.is_text()) {
      facts = vantor::bindings::field(facts_by_xpath, static_cast<PyObject*>(const_cast<void*>(d.xpath.origin)));
      if (facts && !PyDict_Check(facts)) facts = nullptr;
    }
    c.tag = compat_text(d.tag);
    c.type = compat_text(d.attributes.type);
    PyObject* role = fact(facts, "role");
    c.role = role && PyUnicode_Check(role) ? compat_text(role) : compat_text(d.attributes.role);
    c.name = facts ? compat_text(fact(facts, "name")) : compat_text(d.attributes.aria_label);
    c.label = fact_or(facts, "label", d.attributes.label);
    c.text = compat_text(d.text);
    c.placeholder = fact_or(facts, "placeholder", d.attributes.placeholder);
    c.title = compat_text(fact(facts, "title"));
    c.alt = fact_or(facts, "alt", d.attributes.alt);
    c.testid = fact_or(facts, "testid", d.attributes.data_testid);
    if (PyObject* value = fact(facts, "value"); value && PyUnicode_Check(value)) {
      c.value = compat_text(value);
      c.has_value = true;
    }
    c.fallback_words = fallback_words(d);
    c.visible = d.is_visible.truthy;
    c.enabled = d.is_enabled.kind == matching::Kind::missing || d.is_enabled.truthy;
    c.editable = d.is_editable_field.truthy;
    if (d.x.is_number() && d.y.is_number()) {
      c.box = {d.x.number, d.y.number, d.width.is_number() ? d.width.number : 0,
               d.height.is_number() ? d.height.number : 0, true};
    }
    c.table = int_fact(facts, "table");
    c.row = int_fact(facts, "row");
    out.push_back(std::move(c));
  }
}

void set_item(PyObject* dict, const char* name, PyObject* value) {
  if (PyDict_SetItem(dict, key(name), value) != 0) throw nb::python_error();
}

nb::object to_result(const roles::Outcome& o, const std::vector<roles::Candidate>& candidates,
                     DescriptorDicts& elements, DescriptorDicts* texts) {
  auto item = [&](std::size_t i) -> PyObject* {
    const roles::Candidate& c = candidates[i];
    return c.list == roles::List::elements ? elements.item(c.index) : texts->item(c.index);
  };
  const bool check = o.family == roles::Family::check;
  nb::dict result;
  PyObject* r = result.ptr();
  set_item(r, "resolved", o.resolved ? Py_True : Py_False);
  if (check) set_item(r, "verified", o.verified ? Py_True : Py_False);
  set_item(r, "confidence", nb::float_(o.resolved ? o.confidence : 0.0).ptr());
  set_item(r, "element", o.element ? item(*o.element) : Py_None);
  if (check) {
    nb::dict state;
    if (o.state != roles::StateKeys::none && o.element) {
      const roles::Candidate& c = candidates[*o.element];
      set_item(state.ptr(), "present", Py_True);
      set_item(state.ptr(), "visible", c.visible ? Py_True : Py_False);
      if (o.state == roles::StateKeys::element) set_item(state.ptr(), "enabled", c.enabled ? Py_True : Py_False);
    }
    set_item(r, "state", state.ptr());
  }
  nb::list listed;
  for (std::size_t i : o.candidates) listed.append(nb::handle(item(i)));
  set_item(r, "candidates", listed.ptr());
  set_item(r, "ambiguous", o.ambiguous ? Py_True : Py_False);
  set_item(r, "rule", make_str(o.rule).ptr());
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
  const std::string action = compat_text(vantor::bindings::field(parsed, key("action")));
  const std::string target = compat_text(vantor::bindings::field(parsed, key("target")));
  PyObject* literal = vantor::bindings::field(parsed, key("_literal_target"));
  const bool quoted = literal && vantor::bindings::truthy(literal);
  PyObject* ordinal_object = vantor::bindings::field(parsed, key("ordinal"));
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
  auto cls = nb::class_<RoleMatcher>(m, "RoleMatcher",
                                     "Finds the element a step names by its role and accessible name. Holds no state.")
                 .def(nb::init<>())
                 .def("resolve", &resolve, "parsed_instruction"_a.none(), "elements"_a.none(),
                      "text_elements"_a.none() = nb::none(), "facts"_a.none() = nb::none(),
                      nb::sig("def resolve(self, parsed_instruction: dict, elements: list[dict], "
                              "text_elements: list[dict] | None = None, facts: dict | None = None) -> dict"),
                      "The resolution result of an instruction against the page's descriptors and their facts.")
                 .def("resolve_placed", &resolve_placed, "parsed_instruction"_a.none(), "elements"_a.none(),
                      "text_elements"_a.none() = nb::none(), "facts"_a.none() = nb::none(),
                      nb::sig("def resolve_placed(self, parsed_instruction: dict, elements: list[dict], "
                              "text_elements: list[dict] | None = None, facts: dict | None = None) -> dict"),
                      "For a target placed by a spatial phrase: the element of its role and name nearest to the "
                      "anchor in that direction. Meant for after text matching and spatial found nothing.");
  vantor::bindings::add_mismatch_overload(cls,
                                          {"resolve", {"parsed_instruction", "elements", "text_elements", "facts"}, 2});
  vantor::bindings::add_mismatch_overload(
      cls, {"resolve_placed", {"parsed_instruction", "elements", "text_elements", "facts"}, 2});
  vantor::bindings::add_mismatch_constructor(cls, {"__init__", {}});
}
