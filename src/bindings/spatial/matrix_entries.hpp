// Matrix entries made from the caller's descriptors. A build makes two dicts
// per entry and nothing else: every value that is the caller's (tag, text,
// label, coordinates, the descriptor itself) is the caller's own object, and
// the dicts are copies of declared blank records.
#pragma once

#include <nanobind/nanobind.h>

#include <optional>
#include <string_view>
#include <vector>

#include "spatial/matrix_rules.hpp"
#include "support/held_objects.hpp"
#include "support/record_fields.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

// The position record of a bounding box (x, y, w, h, 0 when missing; the
// centre; the far edges) and its reading-order corner.
struct Position {
  nb::object record;
  spatial::Corner corner;
};
Position position_of(PyObject* bounding_box);

// A descriptor's "attributes" record; null when it has none.
PyObject* attributes_of(PyObject* descriptor, Held& held);

// The element type of an element descriptor as the entry holds it: a fixed
// type name, or else the tag itself.
struct Typed {
  PyObject* object;  // borrowed
  std::optional<std::string_view> type;
};
Typed element_type_of(PyObject* tag, PyObject* attributes, Held& held, TextViews& views);

// The search text of an element descriptor. A lone part that needs no
// trimming is the caller's own str.
nb::object searchable_of(PyObject* text, PyObject* label, PyObject* attributes, Held& held, TextViews& views);

// What one placed descriptor gives its entry, read in input order. The
// entries themselves are made afterwards in matrix order, each complete at
// once, so the matrix is written in one pass.
struct Pending {
  // References owned until handed to the entry; null stands for the blank
  // entry's own value. Plain pointers, released by PendingEntries: eight
  // holder objects per entry measured 5-7% slower on a 1,000-entry build.
  PyObject *element, *tag, *element_type, *text, *label, *searchable, *is_enabled, *position;
  std::optional<std::string_view> type;  // views a str that element_type or tag holds
  bool text_entry;
};

class PendingEntries {
 public:
  PendingEntries() = default;
  PendingEntries(const PendingEntries&) = delete;
  PendingEntries& operator=(const PendingEntries&) = delete;
  ~PendingEntries();

  // Reads the placed descriptors of a list (those with a bounding box).
  void read(PyObject* list, bool text_entries, TextViews& views);
  // The entry of pending item i, which gives its references to the entry.
  PyObject* make_entry(std::size_t i, std::size_t index, std::int64_t order_in_type);

  std::vector<Pending> items;
  std::vector<spatial::Corner> corners;
};

}  // namespace vantor::bindings
