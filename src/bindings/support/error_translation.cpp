#include "support/error_translation.hpp"

#include <nanobind/nanobind.h>

#include <cerrno>
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

// OSError picks its subclass from the errno (FileNotFoundError, ...), and
// names the files as Python's own calls do.
void set_file_error(const vantor::FileError& e) {
  nb::object path, other;
  if (!e.path.empty())
    path = nb::steal(PyUnicode_DecodeFSDefaultAndSize(e.path.data(), static_cast<Py_ssize_t>(e.path.size())));
  if (!e.other_path.empty())
    other =
        nb::steal(PyUnicode_DecodeFSDefaultAndSize(e.other_path.data(), static_cast<Py_ssize_t>(e.other_path.size())));
  if (PyErr_Occurred()) return;  // the decoding error stands in
  errno = e.error_number;
  PyErr_SetFromErrnoWithFilenameObjects(PyExc_OSError, path.ptr(), other.ptr());
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
  } catch (const vantor::FileError& e) {
    set_file_error(e);
  }
}

}  // namespace

void register_core_errors() { nb::register_exception_translator(translate); }

}  // namespace vantor::bindings
