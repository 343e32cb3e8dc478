#include "support/record_fields.hpp"

#include <string>

namespace vantor::bindings {

void raise_key_error(PyObject* key) {
  PyErr_SetObject(PyExc_KeyError, key);
  throw nb::python_error();
}

PyObject* required_field(PyObject* record, PyObject* key) {
  PyObject* value = field(record, key);
  if (!value) raise_key_error(key);
  return value;
}

void raise_kind(std::string_view what, const char* expected, PyObject* actual) {
  const char* actual_name = actual == Py_None ? "None" : Py_TYPE(actual)->tp_name;
  const std::string message = std::string(what) + " must be " + expected + ", not " + actual_name;
  throw nb::type_error(message.c_str());
}

std::string_view HeldTexts::text_of(PyObject* value) {
  if (PyUnicode_Check(value)) return view(value);
  const nb::object str = nb::steal(PyObject_Str(value));
  if (!str.is_valid()) throw nb::python_error();
  return view(str.ptr());
}

double as_double(PyObject* number) {
  if (PyFloat_CheckExact(number)) return PyFloat_AS_DOUBLE(number);
  const double value = PyLong_CheckExact(number) ? PyLong_AsDouble(number) : PyFloat_AsDouble(number);
  if (value == -1.0 && PyErr_Occurred()) throw nb::python_error();
  return value;
}

}  // namespace vantor::bindings
