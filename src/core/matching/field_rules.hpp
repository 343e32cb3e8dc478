// How the rules read single fields: defaults for what is absent, errors that
// name the descriptor and field for values of the wrong kind, and the sort
// keys of descriptors.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "matching/descriptor.hpp"

namespace vantor::matching {

// "dom_elements[3]['bounding_box']['y'] must be a number, not str".
[[noreturn]] void raise_field_type(std::string_view where, std::string_view expected, const Field& f);
std::string field_path(const DescriptorList& list, std::size_t i, std::string_view key);

// The text of a text element for the look-ups: "" when missing, TypeError for
// any other kind (None included).
std::string_view required_text(const DescriptorList& list, std::size_t i, const Field& text);

// The bounding box as a record: false when it is absent or falsy; TypeError
// when it holds something else.
bool box_record(const DescriptorList& list, std::size_t i, const Descriptor& d);

// An entry of the bounding box read with a default of 0 (reading order).
double coordinate_or_zero(const DescriptorList& list, std::size_t i, const Field& f, std::string_view key);
// An entry read without a default: KeyError when it is missing.
double coordinate(const DescriptorList& list, std::size_t i, const Field& f, std::string_view key);

// Numbers that order NaN after every other number, so that sorting stays well defined.
inline bool number_less(double a, double b) {
  if (a != a) return false;
  if (b != b) return true;
  return a < b;
}

}  // namespace vantor::matching
