// Reading order of elements on the page: lines top to bottom, each left to
// right; elements without a box (hidden) after all others, in list order.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "roles/candidate.hpp"

namespace vantor::roles {

// Tops within this many pixels of a line's first element sit on that line.
inline constexpr double line_tolerance = 5;

// The place of each box in reading order: 0 for the first.
std::vector<std::size_t> reading_positions(std::span<const Box> boxes);

// Whether one XPath is the other or an ancestor of it.
bool nested(std::string_view xpath_a, std::string_view xpath_b);

// The number of location steps two XPaths share from the root.
std::size_t shared_depth(std::string_view xpath_a, std::string_view xpath_b);

}  // namespace vantor::roles
