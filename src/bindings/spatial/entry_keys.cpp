#include "spatial/entry_keys.hpp"

#include <string>

#include "spatial/geometry.hpp"
#include "support/arguments.hpp"

namespace vantor::bindings {

const EntryKeys& make_entry_keys() {
  static const EntryKeys* const made = [] {
    auto* k = new EntryKeys{};
    k->index = interned("index");
    k->tag = interned("tag");
    k->element_type = interned("element_type");
    k->text = interned("text");
    k->label = interned("label");
    k->searchable = interned("searchable");
    k->is_enabled = interned("is_enabled");
    k->is_anchor_only = interned("is_anchor_only");
    k->order_in_type = interned("order_in_type");
    k->position = interned("position");
    k->element = interned("element");
    for (std::size_t i = 0; i < 8; ++i) k->coordinates[i] = interned(std::string(spatial::coordinate_names[i]).c_str());
    k->attributes = interned("attributes");
    k->xpath = interned("xpath");
    k->anchor_attributes = {interned("aria-label"), interned("_label"), interned("placeholder")};
    return k;
  }();
  return *made;
}

}  // namespace vantor::bindings
