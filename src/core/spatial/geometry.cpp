#include "spatial/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vantor::spatial {
namespace {

std::vector<std::string_view> xpath_steps(std::string_view xpath) {
  const std::size_t first = xpath.find_first_not_of('/');
  xpath = first == std::string_view::npos ? std::string_view{}
                                          : xpath.substr(first, xpath.find_last_not_of('/') + 1 - first);
  std::vector<std::string_view> steps;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = xpath.find('/', start);
    steps.push_back(xpath.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
    if (slash == std::string_view::npos) return steps;
    start = slash + 1;
  }
}

}  // namespace

double centre_distance(double acx, double acy, double bcx, double bcy) {
  const double dx = acx - bcx;
  const double dy = acy - bcy;
  return std::sqrt(dx * dx + dy * dy);
}

std::int64_t dom_distance(std::string_view xpath_a, std::string_view xpath_b) {
  const auto a = xpath_steps(xpath_a);
  const auto b = xpath_steps(xpath_b);
  const std::size_t shorter = std::min(a.size(), b.size());
  std::size_t common = 0;
  for (std::size_t i = 0; i < shorter; ++i) common += a[i] == b[i];
  return static_cast<std::int64_t>(a.size() - common + b.size() - common);
}

}  // namespace vantor::spatial
