#include "spatial/matrix_rules.hpp"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "text/whitespace.hpp"

namespace vantor::spatial {

ElementType element_type(std::optional<std::string_view> tag, std::optional<std::string_view> role,
                         std::optional<std::string_view> input_type) {
  if (role)
    for (std::string_view r : typed_roles)
      if (*role == r) return {r};
  if (tag == "input" && (input_type == "submit" || input_type == "button" || input_type == "reset")) return {"button"};
  if (tag)
    for (const TagType& t : tag_to_type)
      if (*tag == t.tag) return {t.type};
  return {tag, true};
}

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

std::vector<std::size_t> reading_order(std::span<const Corner> corners) {
  std::vector<std::size_t> order(corners.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const Corner& ca = corners[a];
    const Corner& cb = corners[b];
    return ca.y < cb.y || (ca.y == cb.y && ca.x < cb.x);
  });
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
