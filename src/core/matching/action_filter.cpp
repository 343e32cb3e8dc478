#include "matching/action_filter.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "matching/tables.hpp"

namespace vantor::matching {
namespace {

bool is_typeable(const Descriptor& d) {
  return (d.tag.is_text() && is_one_of(typeable_tags, d.tag.text)) ||
         (d.attributes.role.is_text() && is_one_of(typeable_roles, d.attributes.role.text)) ||
         d.is_editable_field.truthy;
}

bool is_selectable(const Descriptor& d) { return d.tag.is_text() && is_one_of(selectable_tags, d.tag.text); }

std::string_view trim_slashes(std::string_view s) {
  const std::size_t first = s.find_first_not_of('/');
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of('/') - first + 1);
}

}  // namespace

std::optional<std::vector<std::size_t>> filter_by_action(std::string_view action, DescriptorList& elements) {
  bool (*qualifies)(const Descriptor&) = nullptr;
  unsigned needs = 0;
  if (action == "type") {
    qualifies = is_typeable;
    needs = need::tag | need::role | need::is_editable_field;
  } else if (action == "select") {
    qualifies = is_selectable;
    needs = need::tag;
  } else {
    return std::nullopt;
  }
  std::vector<std::size_t> kept;
  Descriptor d;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    elements.read(i, needs, d);
    if (qualifies(d)) kept.push_back(i);
  }
  if (kept.empty()) return std::nullopt;
  return kept;
}

std::size_t dom_distance(std::string_view xpath_a, std::string_view xpath_b) {
  return DistanceFrom(xpath_a).to(xpath_b);
}

DistanceFrom::DistanceFrom(std::string_view xpath) : path_(trim_slashes(xpath)) {
  slashes_before_.reserve(path_.size() + 1);
  std::size_t seen = 0;
  for (char c : path_) {
    slashes_before_.push_back(seen);
    seen += c == '/';
  }
  slashes_before_.push_back(seen);
}

std::size_t DistanceFrom::to(std::string_view xpath) const {
  // Steps are the pieces between slashes (an empty path is one empty step).
  // The paths agree up to their first differing byte; every slash before it
  // closes a step common to both, and the step in progress there is common
  // too when it ends at that point in both paths.
  const std::string_view a = path_, b = trim_slashes(xpath);
  const std::size_t shorter = std::min(a.size(), b.size());
  std::size_t same = 0;
  for (; same + 8 <= shorter; same += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + same, 8);
    std::memcpy(&y, b.data() + same, 8);
    if (x != y) {
      same += static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;  // the first differing byte
      break;
    }
  }
  while (same < shorter && a[same] == b[same]) ++same;
  const auto step_ends_at = [&](std::string_view s) { return same == s.size() || s[same] == '/'; };
  const std::size_t common = slashes_before_[same] + (step_ends_at(a) && step_ends_at(b) ? 1 : 0);
  const std::size_t steps_b =
      slashes_before_[same] + static_cast<std::size_t>(std::count(b.begin() + same, b.end(), '/')) + 1;
  return (slashes_before_.back() + 1) + steps_b - 2 * common;
}

}  // namespace vantor::matching
