#include "support/error_translation.hpp"

#include <nanobind/nanobind.h>

#include <string_view>

#include "errors.hpp"

namespace vantor::bindings {
namespace {

namespace nb = nanobind;

void set_error(PyObject* type, std::string_view message) {
  // The message may carry a caller's text with lone surrogates.
  PyObject* text = PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()), "surrogatepass");
  if (!text) return;  // the decoding error stands in
  PyErr_SetObject(type, text);
  Py_DECREF(text);
}

void translate(const std::exception_ptr& error, void*) {
  try {
    std::rethrow_exception(error);
  } catch (const vantor::ValueError& e) {
    set_error(PyExc_ValueError, e.what());
  } catch (const vantor::KeyError& e) {
    set_error(PyExc_KeyError, e.what());
  } catch (const vantor::TypeError& e) {
    set_error(PyExc_TypeError, e.what());
  }
}

}  // namespace

void register_core_errors() { nb::register_exception_translator(translate); }

}  // namespace vantor::bindings
