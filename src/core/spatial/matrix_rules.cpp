#include "spatial/matrix_rules.hpp"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "text/whitespace.hpp"

namespace vantor::spatial {

std::string searchable(std::span<const std::string_view> parts) {
  std::string joined;
  bool first = true;
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    if (!first) joined += ' ';
    joined += part;
    first = false;
  }
  const std::string_view trimmed = text::strip(joined);
  if (trimmed.size() == joined.size()) return joined;
  return std::string(trimmed);
}

bool trimmed_already(std::string_view text) { return text::strip(text).size() == text.size(); }

std::vector<std::size_t> reading_order(std::span<const Corner> corners) {
  // Keys and positions side by side: the sort then walks one array.
  struct Keyed {
    double y, x;
    std::size_t at;
  };
  std::vector<Keyed> keyed(corners.size());
  for (std::size_t i = 0; i < corners.size(); ++i) keyed[i] = {corners[i].y, corners[i].x, i};
  const auto before = [](const Keyed& a, const Keyed& b) { return a.y < b.y || (a.y == b.y && a.x < b.x); };
  // Each of the page's two lists is often in reading order already: two
  // sorted runs merge in one pass, stably.
  const auto first_run_end = std::is_sorted_until(keyed.begin(), keyed.end(), before);
  if (std::is_sorted(first_run_end, keyed.end(), before))
    std::inplace_merge(keyed.begin(), first_run_end, keyed.end(), before);
  else
    std::stable_sort(keyed.begin(), keyed.end(), before);
  std::vector<std::size_t> order(keyed.size());
  for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].at;
  return order;
}

}  // namespace vantor::spatial

namespace vantor::spatial {

std::vector<std::int64_t> order_in_type(std::span<const std::optional<std::string_view>> types) {
  std::vector<std::int64_t> ranks;
  ranks.reserve(types.size());
  std::unordered_map<std::string_view, std::int64_t> seen;
  std::int64_t untyped = 0;
  for (const auto& type : types) ranks.push_back(type ? ++seen[*type] : ++untyped);
  return ranks;
}

}  // namespace vantor::spatial
