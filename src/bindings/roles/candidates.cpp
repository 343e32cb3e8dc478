#include "roles/candidates.hpp"

#include "support/arguments.hpp"
#include "support/record_fields.hpp"
#include "support/record_shape.hpp"

namespace vantor::bindings {
namespace {

enum class FactKey { role, name, label, placeholder, title, alt, testid, value, table, row };
const RecordShape<FactKey>& fact_keys() {
  static const RecordShape<FactKey> shape{"role", "name",   "label", "placeholder", "title",
                                          "alt",  "testid", "value", "table",       "row"};
  return shape;
}

}  // namespace

std::string compat_text(PyObject* value) {
  if (!value || !PyUnicode_Check(value)) return {};
  if (PyUnicode_IS_ASCII(value))
    return {static_cast<const char*>(PyUnicode_DATA(value)), static_cast<std::size_t>(PyUnicode_GET_LENGTH(value))};
  static PyObject* const normalize = [] {
    nb::object module = nb::module_::import_("unicodedata");
    return nb::object(module.attr("normalize")).release().ptr();
  }();
  static PyObject* const nfkc = interned("NFKC");
  nb::object folded = nb::steal(PyObject_CallFunctionObjArgs(normalize, nfkc, value, nullptr));
  if (!folded.is_valid()) throw nb::python_error();
  Py_ssize_t size = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(folded.ptr(), &size);
  if (!utf8) {
    PyErr_Clear();  // lone surrogates: no name a person types
    return {};
  }
  return {utf8, static_cast<std::size_t>(size)};
}

namespace {

std::string field_text(const matching::Field& field) {
  return field.is_text() ? compat_text(static_cast<PyObject*>(const_cast<void*>(field.origin))) : std::string();
}

PyObject* fact(PyObject* facts, FactKey name) { return facts ? field(facts, fact_keys().key(name)) : nullptr; }

int int_fact(PyObject* facts, FactKey name) {
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
  add(field_text(d.attributes.type));
  add(field_text(d.attributes.id));
  add(field_text(d.attributes.class_name));
  if (d.attributes_field.is_record()) {
    PyObject* attributes = static_cast<PyObject*>(const_cast<void*>(d.attributes_field.origin));
    static PyObject* const data_prefix = interned("data-");
    PyObject *name, *value;
    Py_ssize_t pos = 0;
    while (PyDict_Next(attributes, &pos, &name, &value))
      if (PyUnicode_Check(name) && PyUnicode_Tailmatch(name, data_prefix, 0, PY_SSIZE_T_MAX, -1) == 1)
        add(compat_text(value));
  }
  return words;
}

// The page's text of a fact when it has one, else the descriptor's attribute.
std::string fact_or(PyObject* facts, FactKey name, const matching::Field& attribute) {
  PyObject* v = fact(facts, name);
  return v && PyUnicode_Check(v) ? compat_text(v) : field_text(attribute);
}

constexpr unsigned candidate_needs =
    matching::need::tag | matching::need::text | matching::need::attributes | matching::need::coordinates |
    matching::need::is_visible | matching::need::is_enabled | matching::need::is_editable_field | matching::need::xpath;

}  // namespace

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
      facts = field(facts_by_xpath, static_cast<PyObject*>(const_cast<void*>(d.xpath.origin)));
      if (facts && !PyDict_Check(facts)) facts = nullptr;
    }
    c.tag = field_text(d.tag);
    c.type = field_text(d.attributes.type);
    PyObject* role = fact(facts, FactKey::role);
    c.role = role && PyUnicode_Check(role) ? compat_text(role) : field_text(d.attributes.role);
    c.name = facts ? compat_text(fact(facts, FactKey::name)) : field_text(d.attributes.aria_label);
    c.label = fact_or(facts, FactKey::label, d.attributes.label);
    c.text = field_text(d.text);
    c.placeholder = fact_or(facts, FactKey::placeholder, d.attributes.placeholder);
    c.title = compat_text(fact(facts, FactKey::title));
    c.alt = fact_or(facts, FactKey::alt, d.attributes.alt);
    c.testid = fact_or(facts, FactKey::testid, d.attributes.data_testid);
    if (PyObject* value = fact(facts, FactKey::value); value && PyUnicode_Check(value)) {
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
    c.table = int_fact(facts, FactKey::table);
    c.row = int_fact(facts, FactKey::row);
    out.push_back(std::move(c));
  }
}

}  // namespace vantor::bindings
