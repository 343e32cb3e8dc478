#include "support/python_page.hpp"

#include <string>

#include "support/arguments.hpp"

namespace vantor::bindings {
namespace {

bool truth(const nb::object& result) {
  const int answer = PyObject_IsTrue(result.ptr());
  if (answer < 0) throw nb::python_error();
  return answer != 0;
}

// A text answer: a str, or None for nothing.
std::optional<std::string> optional_text(const nb::object& result, const char* operation) {
  if (result.is_none()) return std::nullopt;
  if (!PyUnicode_Check(result.ptr())) {
    const std::string message =
        std::string(operation) + "() returned " + Py_TYPE(result.ptr())->tp_name + ", not str or None";
    throw nb::type_error(message.c_str());
  }
  return std::string(Utf8(result).view());
}

}  // namespace

bool PythonElement::is_visible() { return truth(handle_.attr("is_visible")()); }

bool PythonElement::is_enabled() { return truth(handle_.attr("is_enabled")()); }

std::string PythonElement::inner_text() {
  return optional_text(handle_.attr("inner_text")(), "inner_text").value_or(std::string());
}

std::optional<std::string> PythonElement::attribute(std::string_view name) {
  return optional_text(handle_.attr("get_attribute")(make_str(name)), "get_attribute");
}

values::Value PythonElement::bounding_box() { return values_.read(handle_.attr("bounding_box")()); }

values::Value PythonElement::evaluate(std::string_view script) {
  return values_.read(handle_.attr("evaluate")(make_str(script)));
}

scan::ElementHandles PythonPage::query_selector_all(std::string_view selector) {
  const nb::object found = page_.attr("query_selector_all")(make_str(selector));
  scan::ElementHandles elements;
  for (nb::handle element : found) elements.push_back(std::make_unique<PythonElement>(element, values_));
  return elements;
}

std::unique_ptr<scan::ElementHandle> PythonPage::query_selector(std::string_view selector) {
  const nb::object found = page_.attr("query_selector")(make_str(selector));
  if (found.is_none()) return nullptr;
  return std::make_unique<PythonElement>(found, values_);
}

values::Value PythonPage::evaluate(std::string_view script) {
  return values_.read(page_.attr("evaluate")(make_str(script)));
}

bool PythonPage::is_element_error(const std::exception_ptr& error) const {
  try {
    std::rethrow_exception(error);
  } catch (const nb::python_error& e) {
    return e.matches(PyExc_Exception);
  } catch (...) {
    // The core's own errors and nanobind's are TypeError, KeyError,
    // ValueError or MemoryError once in Python: ordinary exceptions.
    return true;
  }
}

}  // namespace vantor::bindings
