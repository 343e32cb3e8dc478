// The resolver's view of a list of matrix entries that live in Python: each
// field is read from the entry dict when a rule asks for it, so a resolution
// pays only for the fields it uses.
#pragma once

#include <nanobind/nanobind.h>

#include <vector>

#include "spatial/entries.hpp"
#include "support/record_fields.hpp"

namespace vantor::bindings {

class PythonEntries final : public spatial::Entries {
 public:
  // Reads the entries of a list as they are now; later changes to the list do
  // not reach this view.
  explicit PythonEntries(nb::handle list);
  // The entries of the list, then extra entries after them.
  PythonEntries(nb::handle list, std::initializer_list<nb::handle> extra);

  // The entry dict at position i: the caller's own object.
  PyObject* entry(std::size_t i) const { return entries_[i].ptr(); }
  // A field that must be present: KeyError otherwise.
  PyObject* required(std::size_t i, PyObject* key) const;

  std::size_t size() const override { return entries_.size(); }
  std::int64_t index(std::size_t i) const override;
  bool is_anchor_only(std::size_t i) const override;
  std::optional<std::string_view> element_type(std::size_t i) const override;
  std::string_view text(std::size_t i, bool required) const override;
  std::string_view searchable(std::size_t i, bool required) const override;
  std::optional<std::string_view> anchor_attribute(std::size_t i, spatial::AnchorAttribute which) const override;
  double coordinate(std::size_t i, spatial::Coordinate c) const override;
  double extent(std::size_t i, spatial::Coordinate c, double fallback) const override;
  std::string_view xpath(std::size_t i) const override;

 private:
  std::string_view text_field(std::size_t i, PyObject* key, bool required) const;
  PyObject* position(std::size_t i) const;    // KeyError when missing
  PyObject* attributes(std::size_t i) const;  // null when the element or its attributes are missing
  PyObject* element(std::size_t i) const;     // null when missing

  std::vector<nb::object> entries_;
  // Records found under an entry, looked up once per entry; held, as caller
  // code may drop them from the entry meanwhile.
  mutable std::vector<nb::object> positions_, attributes_;
  mutable std::vector<bool> attributes_read_;
  mutable HeldTexts texts_;
};

}  // namespace vantor::bindings
