// Match surfaces: the human-readable strings of a descriptor that a target is
// compared with, and the two comparisons (contains, exact).
#pragma once

#include <string>
#include <string_view>

#include "matching/case_fold.hpp"
#include "matching/descriptor.hpp"

namespace vantor::matching {

// The target without the element-type words at its end, then at its start,
// words joined by single spaces; the target as given when nothing would be left.
std::string strip_type_descriptors(std::string_view target);

// The surface that a class attribute, an id or a data- attribute name gives;
// false when it gives none. `out` is overwritten.
bool class_surface(std::string_view class_name, std::string& out);
bool id_surface(std::string_view id, std::string& out);
bool data_name_surface(std::string_view name, std::string& out);

// What the surfaces are read from: the descriptor's text and attributes.
inline constexpr unsigned surface_needs = need::text | need::attributes;

// Calls visit(surface, field) for each surface of the descriptor, in order,
// until visit returns true; field is the descriptor's own field when the
// surface is its value unchanged, else nullptr. Returns whether visit stopped it.
template <typename Visit>
bool for_each_surface(const Descriptor& d, bool include_label, std::string& scratch, Visit&& visit) {
  const auto own = [&](const Field& f) { return f.is_text() && !f.text.empty() && visit(f.text, &f); };
  if (own(d.text)) return true;
  const Attributes& a = d.attributes;
  if (own(a.aria_label)) return true;
  if (include_label && own(a.label)) return true;
  if (own(a.placeholder) || own(a.data_testid) || own(a.type) || own(a.alt)) return true;
  if (class_surface(a.class_name.text_or_empty(), scratch) && visit(std::string_view(scratch), nullptr)) return true;
  if (id_surface(a.id.text_or_empty(), scratch) && visit(std::string_view(scratch), nullptr)) return true;
  for (std::string_view name : a.data_names)
    if (data_name_surface(name, scratch) && visit(std::string_view(scratch), nullptr)) return true;
  return false;
}

// Compares one target with the surfaces of descriptors.
class SurfaceMatcher {
 public:
  SurfaceMatcher(std::string_view target, bool include_label);

  // The target, lower-cased, is contained in some surface, lower-cased.
  bool matches(const Descriptor& d);
  // Some surface, lower-cased and trimmed, equals the target, lower-cased.
  bool exact_matches(const Descriptor& d);

 private:
  std::string lowered_;
  bool include_label_;
  std::string scratch_;
  CaseFold fold_;
};

}  // namespace vantor::matching
