// The caller's element and text element descriptors (dicts), read field by
// field for the matching rules.
//
// Only the fields a rule asks for are looked up, with keys interned once. The
// list's entries are taken and held when a rule first looks at the list, and
// kept for the whole call, so caller code that empties the list meanwhile (a
// finaliser, an __eq__ or __bool__ of the caller's) cannot free them; every
// value a read hands out is held until the next read.
#pragma once

#include <nanobind/nanobind.h>

#include <string>
#include <vector>

#include "matching/descriptor.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

// The field of a value: its kind, its text as a view of the str, its number.
// Truthiness of objects of other kinds asks the object (__bool__, __len__)
// only when `ask_truthiness` is set.
void read_field(PyObject* value, matching::Field& field, bool ask_truthiness, std::vector<PyObject*>& keep);

class DescriptorDicts final : public matching::DescriptorList {
 public:
  // The entries of a list; messages name them "<name>[i]".
  DescriptorDicts(nb::handle list, const char* name);
  // One descriptor; messages name it `name`.
  DescriptorDicts(nb::handle single, const char* name, bool);
  ~DescriptorDicts() override;
  DescriptorDicts(const DescriptorDicts&) = delete;
  DescriptorDicts& operator=(const DescriptorDicts&) = delete;

  std::size_t size() const override { return items().size(); }
  void read(std::size_t i, unsigned needs, matching::Descriptor& out) override;
  const void* identity(std::size_t i) const override { return items()[i]; }
  std::string where(std::size_t i) const override;

  // The caller's dict at position i.
  PyObject* item(std::size_t i) const { return items()[i]; }

 private:
  const std::vector<PyObject*>& items() const {
    if (!taken_) take();
    return items_;
  }
  void take() const;
  void release();

  nb::object list_;                       // until its entries are taken
  mutable std::vector<PyObject*> items_;  // strong references
  mutable bool taken_ = false;
  std::vector<PyObject*> kept_;  // strong references to what the last read handed out
  const char* name_;
  bool single_ = false;
};

}  // namespace vantor::bindings
