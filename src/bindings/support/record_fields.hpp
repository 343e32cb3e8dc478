// Reading single fields of caller records (descriptors, matrix entries) on the
// hot paths: one dict look-up on a key string made once, no conversion of the
// whole record. Errors are Python's: KeyError naming a missing key, TypeError
// naming what was expected.
#pragma once

#include <nanobind/nanobind.h>

#include <string_view>
#include <vector>

#include "support/arguments.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

// The value under key, borrowed; nullptr when the key is missing. The record
// keeps the value alive only while nothing changes it: take a reference to
// keep it across caller code.
inline PyObject* field(PyObject* record, PyObject* key) {
  PyObject* value = PyDict_GetItemWithError(record, key);
  if (!value && PyErr_Occurred()) throw nb::python_error();
  return value;
}

// The value under key, borrowed; KeyError when missing.
PyObject* required_field(PyObject* record, PyObject* key);

[[noreturn]] void raise_key_error(PyObject* key);

// "a matrix entry must be dict, not int"
[[noreturn]] void raise_kind(std::string_view what, const char* expected, PyObject* actual);

// obj itself when it is a dict; TypeError naming `what` otherwise.
inline PyObject* dict_or_raise(PyObject* obj, std::string_view what) {
  if (!PyDict_Check(obj)) raise_kind(what, "dict", obj);
  return obj;
}

// Texts of strs as UTF-8 views, valid while the str lives and this lives.
// Python keeps the UTF-8 form of a str once made, so only a str holding lone
// surrogates needs a copy, kept here.
class TextViews {
 public:
  std::string_view view(PyObject* str) {
    nb::object encoded;
    const std::string_view text = utf8_of(str, encoded);
    if (encoded.is_valid()) encoded_.push_back(std::move(encoded));
    return text;
  }

 private:
  std::vector<nb::object> encoded_;
};

// Texts of caller strs as views, valid for as long as this lives: it holds
// every str it was asked about, since caller code may drop a str from its
// record while a view of it is still in use.
class HeldTexts {
 public:
  std::string_view view(PyObject* str) {
    held_.push_back(nb::borrow(str));
    return views_.view(str);
  }
  // The text of any value as str() writes it; a str is its own text.
  std::string_view text_of(PyObject* value);

 private:
  std::vector<nb::object> held_;
  TextViews views_;
};

// Python's truth value of obj, with the common kinds decided without a call.
inline bool truthy(PyObject* obj) {
  if (obj == Py_True) return true;
  if (obj == Py_False || obj == Py_None) return false;
  if (PyUnicode_Check(obj)) return PyUnicode_GET_LENGTH(obj) != 0;
  const int truth = PyObject_IsTrue(obj);
  if (truth < 0) throw nb::python_error();
  return truth != 0;
}

// A number as a double, as comparisons and arithmetic with floats see it.
double as_double(PyObject* number);

}  // namespace vantor::bindings
