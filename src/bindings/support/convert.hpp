// Python objects to the core's values and back.
//
// Reading borrows: texts view the caller's strings and every value remembers
// the object it was read from, so that to_python hands back the caller's very
// own object. Caller code may run while a record is read (a finaliser started
// by the garbage collector, a hash or eq of a key), and may drop or change what
// is being read; CallerValues therefore holds a reference to every object whose
// text or identity a value keeps, and never trusts a length read earlier.
#pragma once

#include <nanobind/nanobind.h>

#include <vector>

#include "values/value.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

class CallerValues {
 public:
  CallerValues() = default;
  CallerValues(const CallerValues&) = delete;
  CallerValues& operator=(const CallerValues&) = delete;

  // The value of obj. Throws TypeError for kinds a record cannot hold and for
  // non-str keys, RecursionError past the interpreter's recursion limit. A
  // list or dict met again inside itself reads as a back reference (shown as
  // [...] or {...}, as repr shows it). The values stay valid while this lives.
  values::Value read(nb::handle obj);

  // Keeps obj alive for as long as this lives.
  void hold(nb::handle obj) { held_.push_back(nb::borrow(obj)); }

 private:
  values::Value read_list(PyObject* list);
  values::Value read_tuple(PyObject* tuple);
  values::Value read_dict(PyObject* dict);

  std::vector<nb::object> held_;
  std::vector<PyObject*> open_;  // the containers being read, outermost first
};

// The Python object of a value: the caller's own object when the value was
// read from one (its CallerValues must still live), a new object otherwise.
// Throws RecursionError past the interpreter's recursion limit.
nb::object to_python(const values::Value& value);

}  // namespace vantor::bindings
