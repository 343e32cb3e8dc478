// Confidences in the failure log: fixed-point with two decimals.
#pragma once

#include <string>

namespace vantor::report {

// The nearest number with exactly two decimals, both always written: 0.00,
// 0.50, 0.88. The exact binary value decides, and an exact tie goes to the
// even digit (0.125 gives 0.12), as format(x, ".2f") does; nan, inf, -inf
// as Python writes them.
std::string two_decimals(double value);

}  // namespace vantor::report
