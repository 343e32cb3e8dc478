#include "roles/reading_order.hpp"

#include <algorithm>
#include <numeric>

namespace vantor::roles {

std::vector<std::size_t> reading_positions(std::span<const Box> boxes) {
  std::vector<std::size_t> order(boxes.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (boxes[a].known != boxes[b].known) return boxes[a].known;
    return boxes[a].known && boxes[a].y < boxes[b].y;
  });
  // Group into lines by the top of each line's first box, then left to right.
  std::size_t start = 0;
  while (start < order.size() && boxes[order[start]].known) {
    std::size_t end = start + 1;
    while (end < order.size() && boxes[order[end]].known &&
           boxes[order[end]].y - boxes[order[start]].y <= line_tolerance)
      ++end;
    std::stable_sort(order.begin() + static_cast<std::ptrdiff_t>(start),
                     order.begin() + static_cast<std::ptrdiff_t>(end),
                     [&](std::size_t a, std::size_t b) { return boxes[a].x < boxes[b].x; });
    start = end;
  }
  std::vector<std::size_t> position(boxes.size());
  for (std::size_t p = 0; p < order.size(); ++p) position[order[p]] = p;
  return position;
}

bool nested(std::string_view a, std::string_view b) {
  if (a.size() > b.size()) std::swap(a, b);
  return !a.empty() && b.starts_with(a) && (b.size() == a.size() || b[a.size()] == '/');
}

std::size_t shared_depth(std::string_view a, std::string_view b) {
  std::size_t depth = 0, i = 0;
  const std::size_t n = std::min(a.size(), b.size());
  for (; i < n && a[i] == b[i]; ++i)
    if (a[i] == '/' && i > 0) ++depth;
  // A step that both share to its end.
  if (i == n && (a.size() == b.size() || (a.size() > n ? a[n] : b[n]) == '/')) ++depth;
  return depth;
}

}  // namespace vantor::roles
