// Records the boundary reads or writes, declared once: their keys in order,
// interned, and the value each key holds in a blank record.
//
// A new record is a copy of its blank: that keeps the key order and costs less
// than inserting the keys one by one. Setting a key the blank already has
// keeps its place. Shapes live as function-local statics: they are made on
// first use, with the interpreter running, and kept for its lifetime.
#pragma once

#include <nanobind/nanobind.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace vantor::bindings {

namespace nb = nanobind;

// The value a key holds in a blank record: None, a bool, an int, a float or
// an interned str. Made once with the shape and never freed.
struct Blank {
  PyObject* object;
  Blank() : object(Py_None) {}
  Blank(bool value) : object(value ? Py_True : Py_False) {}
  Blank(int value);
  Blank(double value);
  Blank(const char* text);
  Blank(PyObject* borrowed) : object(borrowed) {}
};

struct Field {
  const char* key;
  Blank blank = {};
};

class Shape {
 public:
  // A shape of keys only, for records that are read.
  Shape(std::initializer_list<const char*> keys);
  // A shape with a blank record, for records that are written.
  Shape(std::initializer_list<Field> fields);

  PyObject* key(std::size_t position) const { return keys_[position]; }
  std::size_t size() const { return keys_.size(); }
  // A new record: a copy of the blank.
  nb::dict make() const;
  PyObject* blank() const { return blank_; }

 private:
  std::vector<PyObject*> keys_;
  PyObject* blank_ = nullptr;
};

// A shape whose keys are named by an enum: the enumerators are the fields'
// positions, in the order the fields are declared.
template <typename Key>
class RecordShape : public Shape {
 public:
  using Shape::key;
  using Shape::Shape;
  PyObject* key(Key k) const { return Shape::key(static_cast<std::size_t>(k)); }
};

// The empty str, interned: the value records hold for a text they lack.
PyObject* empty_str();

// record[key] = value, raising the Python error if that fails.
inline void put(PyObject* record, PyObject* key, PyObject* value) {
  if (PyDict_SetItem(record, key, value) != 0) throw nb::python_error();
}

// The same with a new reference, which this takes over; a null value is the
// error of the call that made it.
void put_new(PyObject* record, PyObject* key, PyObject* value);

// A new reference from the C API as an object; its Python error when null.
nb::object checked(PyObject* made);

}  // namespace vantor::bindings
