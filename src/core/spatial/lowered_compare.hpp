// Comparing a text's lower case with an already lowered text, without
// lowering a copy of the text when it is ASCII (nearly every page text).
#pragma once

#include <string_view>

#include "text/case.hpp"
#include "text/utf8.hpp"
#include "text/whitespace.hpp"

namespace vantor::spatial {

inline bool ascii_lower_equals(std::string_view ascii, std::string_view lowered) {
  if (ascii.size() != lowered.size()) return false;
  for (std::size_t i = 0; i < ascii.size(); ++i)
    if (text::ascii_lower(ascii[i]) != lowered[i]) return false;
  return true;
}

// text.lower() == lowered
inline bool lower_equals(std::string_view text, std::string_view lowered) {
  if (text::is_ascii(text)) return ascii_lower_equals(text, lowered);
  return text::lower(text) == lowered;
}

// text.lower().strip() == lowered
inline bool lower_stripped_equals(std::string_view text, std::string_view lowered) {
  if (text::is_ascii(text)) return ascii_lower_equals(text::strip(text), lowered);
  return text::strip(text::lower(text)) == lowered;
}

// text.lower().startswith(prefix)
inline bool lower_starts_with(std::string_view text, std::string_view prefix) {
  if (text::is_ascii(text))
    return text.size() >= prefix.size() && ascii_lower_equals(text.substr(0, prefix.size()), prefix);
  return text::lower(text).starts_with(prefix);
}

}  // namespace vantor::spatial
