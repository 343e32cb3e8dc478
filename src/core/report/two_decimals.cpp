#include "report/two_decimals.hpp"

#include <charconv>
#include <cmath>

namespace vantor::report {

std::string two_decimals(double value) {
  if (std::isnan(value)) return "nan";  // whatever its sign bit says
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  // to_chars with a precision rounds the exact value, ties to even; the
  // largest double needs 309 digits before the point.
  char buf[400];
  const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
  return std::string(buf, result.ptr);
}

}  // namespace vantor::report
