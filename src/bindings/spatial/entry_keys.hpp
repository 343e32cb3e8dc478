// The key strings of matrix entries and position records, made once.
#pragma once

#include <Python.h>

#include <array>

namespace vantor::bindings {

struct EntryKeys {
  PyObject *index, *tag, *element_type, *text, *label, *searchable, *is_enabled, *is_anchor_only, *order_in_type,
      *position, *element;
  std::array<PyObject *, 8> coordinates;  // x, y, w, h, cx, cy, x2, y2
  PyObject *attributes, *xpath;
  std::array<PyObject *, 3> anchor_attributes;  // aria-label, _label, placeholder
};

// Made once, on first use. Inline: the resolver reads keys on every field.
const EntryKeys &make_entry_keys();
inline const EntryKeys &entry_keys() {
  static const EntryKeys &keys = make_entry_keys();
  return keys;
}

}  // namespace vantor::bindings
