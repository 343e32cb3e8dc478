#include "support/console.hpp"

#include <nanobind/nanobind.h>

#include "support/arguments.hpp"

namespace vantor::bindings {
namespace {

PyObject* current_stdout() {
  // The sys module's dict is where sys.stdout lives; "stdout" is interned once.
  static PyObject* const sys_dict = [] {
    nb::module_ sys = nb::module_::import_("sys");
    return nb::borrow(PyModule_GetDict(sys.ptr())).release().ptr();
  }();
  static PyObject* const name = interned("stdout");
  PyObject* out = PyDict_GetItemWithError(sys_dict, name);  // borrowed
  if (!out) {
    if (!PyErr_Occurred()) PyErr_SetString(PyExc_RuntimeError, "lost sys.stdout");
    throw nb::python_error();
  }
  return out;
}

}  // namespace

void print_line(std::string line) {
  PyObject* out = current_stdout();
  if (out == Py_None) return;
  static PyObject* const write = interned("write");
  const nb::object stream = nb::borrow(out);
  line += '\n';
  const nb::str str = make_str(line);
  PyObject* written = PyObject_CallMethodOneArg(stream.ptr(), write, str.ptr());
  if (!written) throw nb::python_error();
  Py_DECREF(written);
}

}  // namespace vantor::bindings
