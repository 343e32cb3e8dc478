#include "report/outcome_records.hpp"

namespace vantor::bindings {
namespace {

enum class ReadKey { tag, text, attributes, label, xpath, confidence, candidates };
const RecordShape<ReadKey>& read_keys() {
  static const RecordShape<ReadKey> shape{"tag", "text", "attributes", "_label", "xpath", "confidence", "candidates"};
  return shape;
}

// The value under key, held; invalid when the key is missing. Looking a key
// up may run caller code (a key's __eq__), so the value is held at once.
nb::object lookup(nb::handle dict, PyObject* key) { return nb::borrow(field(dict.ptr(), key)); }

// "log_failure() candidate 'text' must be str, not int".
[[noreturn]] void raise_field_type(const char* function, const char* holder, PyObject* key, const char* expected,
                                   nb::handle actual) {
  PyErr_Format(PyExc_TypeError, "%s() %s %R must be %s, not %s", function, holder, key, expected,
               actual.is_none() ? "None" : Py_TYPE(actual.ptr())->tp_name);
  throw nb::python_error();
}

// A text entry of a record: its str, or the empty str when the key is missing
// or (for the entries that may be null) holds None. Anything else is a
// TypeError: a "text" is cut and quoted, so None there is no text at all.
enum class NoneIs { missing, wrong };
nb::object text_field(nb::handle dict, ReadKey key, const char* function, const char* holder,
                      NoneIs none = NoneIs::missing) {
  PyObject* k = read_keys().key(key);
  nb::object value = lookup(dict, k);
  if (!value.is_valid() || (none == NoneIs::missing && value.is_none())) return nb::borrow(empty_str());
  if (!PyUnicode_Check(value.ptr())) raise_field_type(function, holder, k, "str", value);
  return value;
}

// The first `limit` characters of a str: the str itself when it is no longer.
nb::object first_characters(nb::handle str, std::size_t limit) {
  if (PyUnicode_GET_LENGTH(str.ptr()) <= static_cast<Py_ssize_t>(limit)) return nb::borrow(str);
  return checked(PyUnicode_Substring(str.ptr(), 0, static_cast<Py_ssize_t>(limit)));
}

}  // namespace

const RecordShape<OutcomeKey>& outcome_keys() {
  static const RecordShape<OutcomeKey> shape{"status",        "instruction",   "strategy", "element_tag",
                                             "element_text",  "element_label", "locator",  "reasons",
                                             "top_candidate", "state",         "extracted"};
  return shape;
}

PyObject* pass_str() {
  static const Blank pass("PASS");
  return pass.object;
}

const Shape& success_record() {
  static const Shape shape{Field{"status", "PASS"}, {"instruction", ""},   {"strategy", ""}, {"element_tag", ""},
                           {"element_text", ""},    {"element_label", ""}, {"locator", ""}};
  return shape;
}

const Shape& failure_record() {
  static const Shape shape{
      Field{"status", "FAIL"}, {"instruction", ""}, {"strategy", "none"}, {"reasons", ""}, {"top_candidate", ""}};
  return shape;
}

const Shape& verification_record() {
  static const Shape shape{Field{"status", "FAIL"}, {"instruction", ""},  {"strategy", "DOM-verify"},
                           {"element_tag", ""},     {"element_text", ""}, {"state"},
                           {"locator", ""}};
  return shape;
}

bool is_non_empty_dict(nb::handle obj) { return obj.is_valid() && !obj.is_none() && PyDict_GET_SIZE(obj.ptr()) > 0; }

ElementFacts element_facts(nb::handle element, const char* function) {
  const nb::handle empty = empty_str();
  ElementFacts facts{nb::borrow(empty), nb::borrow(empty), nb::borrow(empty), nb::borrow(empty)};
  if (!is_non_empty_dict(element)) return facts;
  facts.tag = text_field(element, ReadKey::tag, function, "element");
  facts.text = first_characters(text_field(element, ReadKey::text, function, "element", NoneIs::wrong),
                                report::element_text_limit);
  PyObject* attributes_key = read_keys().key(ReadKey::attributes);
  const nb::object attributes = lookup(element, attributes_key);
  if (attributes.is_valid() && !attributes.is_none()) {
    if (!PyDict_Check(attributes.ptr())) raise_field_type(function, "element", attributes_key, "dict", attributes);
    facts.label = text_field(attributes, ReadKey::label, function, "element attributes");
  }
  facts.locator = text_field(element, ReadKey::xpath, function, "element");
  return facts;
}

double confidence_of(nb::handle result, const char* holder) {
  PyObject* key = read_keys().key(ReadKey::confidence);
  const nb::object value = lookup(result, key);
  if (!value.is_valid()) return 0.0;
  PyObject* o = value.ptr();
  if (PyFloat_Check(o)) return PyFloat_AS_DOUBLE(o);
  const PyNumberMethods* number = Py_TYPE(o)->tp_as_number;
  if (PyLong_Check(o) || (number && (number->nb_float || number->nb_index))) {
    const double d = PyFloat_AsDouble(o);  // an int past the float range: OverflowError, as format() gives
    if (d == -1.0 && PyErr_Occurred()) throw nb::python_error();
    return d;
  }
  raise_field_type("log_failure", holder, key, "a number", value);
}

std::optional<report::Candidate> first_candidate(nb::handle result, HeldTexts& texts) {
  const nb::object candidates = lookup(result, read_keys().key(ReadKey::candidates));
  if (!candidates.is_valid() || !PyList_Check(candidates.ptr()) || PyList_GET_SIZE(candidates.ptr()) == 0)
    return std::nullopt;
  const nb::object first = nb::borrow(PyList_GET_ITEM(candidates.ptr(), 0));
  if (!PyDict_Check(first.ptr())) {
    PyErr_Format(PyExc_TypeError, "log_failure() candidate must be dict, not %s", Py_TYPE(first.ptr())->tp_name);
    throw nb::python_error();
  }
  const nb::object tag = text_field(first, ReadKey::tag, "log_failure", "candidate");
  const nb::object text = text_field(first, ReadKey::text, "log_failure", "candidate", NoneIs::wrong);
  return report::Candidate{texts.view(tag.ptr()), texts.view(text.ptr())};
}

nb::handle RecordReader::record(Py_ssize_t i) {
  const nb::object record = nb::borrow(PyList_GET_ITEM(results_.ptr(), i));
  if (!PyDict_Check(record.ptr())) {
    PyErr_Format(PyExc_TypeError, "Reporter.results[%zd] must be dict, not %s", i, Py_TYPE(record.ptr())->tp_name);
    throw nb::python_error();
  }
  held_.push_back(record);
  return record;
}

std::string_view RecordReader::required(nb::handle record, OutcomeKey key) {
  PyObject* k = outcome_keys().key(key);
  const nb::object value = lookup(record, k);
  if (!value.is_valid()) raise_key_error(k);
  return texts_.text_of(value.ptr());
}

std::optional<std::string_view> RecordReader::truthy(nb::handle record, OutcomeKey key) {
  const nb::object value = lookup(record, outcome_keys().key(key));
  if (!value.is_valid()) return std::nullopt;
  const int is_true = PyObject_IsTrue(value.ptr());
  if (is_true < 0) throw nb::python_error();
  if (!is_true) return std::nullopt;
  return texts_.text_of(value.ptr());
}

std::optional<std::string_view> RecordReader::present(nb::handle record, OutcomeKey key) {
  const nb::object value = lookup(record, outcome_keys().key(key));
  if (!value.is_valid()) return std::nullopt;
  return texts_.text_of(value.ptr());
}

}  // namespace vantor::bindings
