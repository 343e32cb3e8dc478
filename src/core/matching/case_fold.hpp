// Case-insensitive tests of a caller's text against an already lowered text,
// with Python's lower-casing. ASCII texts are compared in place; any other text
// is lowered into a buffer that the tester reuses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor::matching {

// Characters, as Python's len() counts them, of a UTF-8 text.
std::size_t char_count(std::string_view s);

// True when some character is a decimal digit (str.isdecimal).
bool has_decimal(std::string_view s);

// s without its first n characters (Python's s[n:]).
std::string_view drop_chars(std::string_view s, std::size_t n);

class CaseFold {
 public:
  // lowered in lower(text)
  bool contains(std::string_view text, std::string_view lowered);
  // strip(lower(text)) == lowered
  bool equals_trimmed(std::string_view text, std::string_view lowered);
  // lower(text), valid until the next call
  std::string_view lower(std::string_view text);

 private:
  std::string buffer_;
};

}  // namespace vantor::matching
