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
// A surface made from a class, id or data- name is only made when
// may_hold(raw text it is made from) is true.
template <typename Visit, typename MayHold>
bool for_each_surface(const Descriptor& d, bool include_label, std::string& scratch, Visit&& visit,
                      MayHold&& may_hold) {
  const auto own = [&](const Field& f) { return f.is_text() && !f.text.empty() && visit(f.text, &f); };
  if (own(d.text)) return true;
  const Attributes& a = d.attributes;
  if (own(a.aria_label)) return true;
  if (include_label && own(a.label)) return true;
  if (own(a.placeholder) || own(a.data_testid) || own(a.type) || own(a.alt)) return true;
  const auto made = [&](std::string_view raw, bool (*make)(std::string_view, std::string&)) {
    return !raw.empty() && may_hold(raw) && make(raw, scratch) && visit(std::string_view(scratch), nullptr);
  };
  if (made(a.class_name.text_or_empty(), class_surface)) return true;
  if (made(a.id.text_or_empty(), id_surface)) return true;
  for (std::string_view name : a.data_names)
    if (made(name, data_name_surface)) return true;
  return false;
}

template <typename Visit>
bool for_each_surface(const Descriptor& d, bool include_label, std::string& scratch, Visit&& visit) {
  return for_each_surface(d, include_label, scratch, visit, [](std::string_view) { return true; });
}

// Compares one target with the surfaces of descriptors.
class SurfaceMatcher {
 public:
  SurfaceMatcher(std::string_view target, bool include_label);
  SurfaceMatcher(const SurfaceMatcher&) = delete;  // the needles view its own texts
  SurfaceMatcher& operator=(const SurfaceMatcher&) = delete;

  // The target, lower-cased, is contained in some surface, lower-cased.
  bool matches(const Descriptor& d);
  // Some surface, lower-cased and trimmed, equals the target, lower-cased.
  bool exact_matches(const Descriptor& d);

 private:
  // Whether a surface made from raw can hold the target. Made surfaces have
  // no digits; and every piece of one without spaces lies within raw, so the
  // target's longest piece without spaces must lie within raw too.
  bool may_hold(std::string_view raw);

  std::string lowered_;
  bool include_label_;
  bool has_digit_;
  std::string piece_;  // the longest run of the lowered target without spaces
  Needle target_needle_, piece_needle_;
  std::string scratch_;
  CaseFold fold_;
};

}  // namespace vantor::matching
