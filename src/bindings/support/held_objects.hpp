// Cyclic garbage collection for bound classes that hold Python objects: a
// GridMaker holding a list that holds the GridMaker would otherwise never be
// freed. Register with nb::type_slots(held_objects_slots<T, &T::a, &T::b>()).
#pragma once

#include <nanobind/nanobind.h>

#include <initializer_list>

namespace vantor::bindings {

namespace nb = nanobind;

template <typename T, nb::object T::*... Members>
int traverse_held(PyObject* self, visitproc visit, void* arg) {
  Py_VISIT(Py_TYPE(self));  // an instance keeps its heap type alive
  if (!nb::inst_ready(self)) return 0;
  T* held = nb::inst_ptr<T>(self);
  for (PyObject* member : {(held->*Members).ptr()...}) Py_VISIT(member);
  return 0;
}

template <typename T, nb::object T::*... Members>
int clear_held(PyObject* self) {
  if (!nb::inst_ready(self)) return 0;
  T* held = nb::inst_ptr<T>(self);
  ((held->*Members).reset(), ...);
  return 0;
}

template <typename T, nb::object T::*... Members>
PyType_Slot* held_objects_slots() {
  static PyType_Slot slots[] = {{Py_tp_traverse, reinterpret_cast<void*>(&traverse_held<T, Members...>)},
                                {Py_tp_clear, reinterpret_cast<void*>(&clear_held<T, Members...>)},
                                {0, nullptr}};
  return slots;
}

// A held list as a property gives it: the list itself, or a new empty list
// once the garbage collector has cleared it.
inline nb::list held_list(const nb::object& held) { return held.is_valid() ? nb::borrow<nb::list>(held) : nb::list(); }

}  // namespace vantor::bindings
