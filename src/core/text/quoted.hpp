// The quoted form of a text: what Python's repr() makes of a str.
#pragma once

#include <string>
#include <string_view>

namespace vantor::text {

void append_quoted(std::string& out, std::string_view s);

inline std::string quoted(std::string_view s) {
  std::string out;
  append_quoted(out, s);
  return out;
}

}  // namespace vantor::text
