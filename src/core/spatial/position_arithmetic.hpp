// The arithmetic of a matrix entry's position: its centre and far edges from
// the bounding box's start and extent, computed exactly as the host computes
// them, so that the numbers and their types (int or float) are the host's.
//
// Whole numbers of up to 52 bits and floats are computed here: their sums and
// halves are exact in a double. Any other number (a bigger int, a number of
// another type) is not a PlainNumber, and its arithmetic is the host's.
#pragma once

#include <optional>

namespace vantor::spatial {

struct PlainNumber {
  enum class Kind { integer, real } kind;
  long long integer = 0;  // when kind is integer
  double real = 0;        // the value, for either kind

  static PlainNumber of_real(double value) { return {Kind::real, 0, value}; }
  // None past 52 bits, where a double would round it.
  static std::optional<PlainNumber> of_integer(long long value) {
    constexpr long long limit = 1LL << 52;
    if (value > limit || value < -limit) return std::nullopt;
    return PlainNumber{Kind::integer, value, static_cast<double>(value)};
  }
};

// start + extent / 2: a float whatever the inputs (true division).
inline double centre(const PlainNumber& start, const PlainNumber& extent) { return start.real + extent.real / 2; }

// start + extent, keeping the inputs' type: int and int give an int, anything
// with a float a float.
inline PlainNumber edge(const PlainNumber& start, const PlainNumber& extent) {
  if (start.kind == PlainNumber::Kind::integer && extent.kind == PlainNumber::Kind::integer)
    return {PlainNumber::Kind::integer, start.integer + extent.integer,
            static_cast<double>(start.integer + extent.integer)};
  return PlainNumber::of_real(start.real + extent.real);
}

}  // namespace vantor::spatial
