// The text matcher's answers as Python records: a result dict per family of
// actions (element, check, extraction), its keys interned once, holding the
// caller's own descriptors.
#pragma once

#include <nanobind/nanobind.h>

#include <optional>

#include "matching/resolution.hpp"
#include "support/descriptor_list.hpp"
#include "support/record_shape.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

// The keys read from the instruction, in the order they are looked up, then
// the element's own flags.
enum class InstructionKey { action, target, value, ordinal, is_visible, is_enabled };
const RecordShape<InstructionKey>& read_keys();

// The two lists a result may point into; null for a list the call has not.
struct Lists {
  const DescriptorDicts* dom;
  const DescriptorDicts* text;

  PyObject* item(matching::Ref r) const {
    return r.list == matching::Source::dom ? dom->item(r.index) : text->item(r.index);
  }
};

// The result record of a resolution; `expected` is what a text check's state
// shows as expected.
nb::object to_result(const matching::Resolution& r, const Lists& lists, nb::handle expected);

// A descriptor list argument that may be None, which reads as an empty list.
struct OptionalDicts {
  std::optional<DescriptorDicts> dicts;
  matching::NoDescriptors none;
  OptionalDicts(nb::handle list, const char* name) {
    if (!list.is_none()) dicts.emplace(list, name);
  }
  matching::DescriptorList& list() { return dicts ? static_cast<matching::DescriptorList&>(*dicts) : none; }
  DescriptorDicts* get() { return dicts ? &*dicts : nullptr; }
};

}  // namespace vantor::bindings
