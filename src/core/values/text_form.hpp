// The text form of a value: what Python's repr() makes of plain values.
#pragma once

#include <string>

#include "values/value.hpp"

namespace vantor::values {

void append_text_form(std::string& out, const Value& v);

inline std::string text_form(const Value& v) {
  std::string out;
  append_text_form(out, v);
  return out;
}

// A float in the shortest form that reads back to the same value, written
// as repr() writes it: 1.0, 0.0001, 1e-05, 1e+16, inf, nan.
std::string float_repr(double d);

}  // namespace vantor::values
