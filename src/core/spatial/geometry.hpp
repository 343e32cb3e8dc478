// How two matrix entries relate on the page: centre distance, shared rows and
// columns with a tolerance, and the distance between their XPaths.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantor::spatial {

inline constexpr std::int64_t near_max_pixels = 300;
inline constexpr std::int64_t near_max_dom_steps = 10;
// Boxes that miss each other by less than this still share a row or column.
inline constexpr std::int64_t spatial_tolerance = 40;

// The keys of a position record, in their order.
enum class Coordinate : std::uint8_t { x, y, w, h, cx, cy, x2, y2 };
inline constexpr std::string_view coordinate_names[] = {"x", "y", "w", "h", "cx", "cy", "x2", "y2"};
inline std::string_view coordinate_name(Coordinate c) { return coordinate_names[static_cast<std::size_t>(c)]; }

struct Span {
  double start, end;  // y and y2, or x and x2
};

// Strict on both sides: a gap of exactly the tolerance is no overlap.
inline bool overlaps(Span a, Span b) {
  return a.start - spatial_tolerance < b.end && b.start - spatial_tolerance < a.end;
}

double centre_distance(double acx, double acy, double bcx, double bcy);

// Steps that differ between two XPaths: every equal position counts as
// shared, also after a differing one.
std::int64_t dom_distance(std::string_view xpath_a, std::string_view xpath_b);

}  // namespace vantor::spatial
