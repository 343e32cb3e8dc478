#include "support/record_shape.hpp"

#include "support/arguments.hpp"

namespace vantor::bindings {

Blank::Blank(int value) : object(checked(PyLong_FromLong(value)).release().ptr()) {}
Blank::Blank(double value) : object(checked(PyFloat_FromDouble(value)).release().ptr()) {}
Blank::Blank(const char* text) : object(interned(text)) {}

Shape::Shape(std::initializer_list<const char*> keys) {
  keys_.reserve(keys.size());
  for (const char* key : keys) keys_.push_back(interned(key));
}

Shape::Shape(std::initializer_list<Field> fields) {
  keys_.reserve(fields.size());
  blank_ = checked(PyDict_New()).release().ptr();
  for (const Field& field : fields) {
    keys_.push_back(interned(field.key));
    put(blank_, keys_.back(), field.blank.object);
  }
}

PyObject* empty_str() {
  static PyObject* const empty = interned("");
  return empty;
}

nb::dict Shape::make() const { return nb::steal<nb::dict>(checked(PyDict_Copy(blank_)).release()); }

void put_new(PyObject* record, PyObject* key, PyObject* value) {
  const nb::object held = checked(value);
  put(record, key, held.ptr());
}

nb::object checked(PyObject* made) {
  if (!made) throw nb::python_error();
  return nb::steal(made);
}

}  // namespace vantor::bindings
