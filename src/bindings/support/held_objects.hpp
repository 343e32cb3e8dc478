// Holding Python objects from C++.
//
// Held: the references a call takes to what it reads from caller records.
// Each value is held from the moment it is read, since later caller code (a
// finaliser, an odd key's __eq__) may drop it from its record while the call
// still uses it.
//
// held_objects_slots: cyclic garbage collection for bound classes that hold
// Python objects: a GridMaker holding a list that holds the GridMaker would
// otherwise never be freed. Register with
// nb::type_slots(held_objects_slots<T, &T::a, &T::b>()).
#pragma once

#include <nanobind/nanobind.h>

#include <initializer_list>
#include <vector>

namespace vantor::bindings {

namespace nb = nanobind;

class Held {
 public:
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() { release(); }

  // obj, now held; null stays null.
  PyObject* keep(PyObject* obj) {
    if (obj) {
      Py_INCREF(obj);
      items_.push_back(obj);
    }
    return obj;
  }
  // Lets go of everything held; the storage stays for the next use.
  void release() {
    // Each one taken out before it is let go: that may run a finaliser.
    while (!items_.empty()) {
      PyObject* obj = items_.back();
      items_.pop_back();
      Py_DECREF(obj);
    }
  }

 private:
  std::vector<PyObject*> items_;
};

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
