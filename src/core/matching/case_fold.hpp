// Case-insensitive tests of a caller's text against an already lowered text,
// with Python's lower-casing. ASCII texts are compared in place; any other text
// is lowered into a buffer that the tester reuses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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
  // lowered in lower(text). An ASCII text is searched in place; any other
  // is lowered first (some non-ASCII letters lower to ASCII ones).
  bool contains(std::string_view text, std::string_view lowered) {
    if (!is_ascii(text)) return lowered_contains(text, lowered);
    const std::size_t n = text.size(), m = lowered.size();
    if (m == 0) return true;
    if (m > n) return false;
    const char first = lowered[0];
    const char first_upper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
    for (std::size_t i = 0; i <= n - m; ++i) {
      if (text[i] != first && text[i] != first_upper) continue;
      std::size_t k = 1;
      while (k < m && ascii_lower(text[i + k]) == lowered[k]) ++k;
      if (k == m) return true;
    }
    return false;
  }
  // strip(lower(text)) == lowered
  bool equals_trimmed(std::string_view text, std::string_view lowered);
  // lower(text), valid until the next call
  std::string_view lower(std::string_view text);

 private:
  static char ascii_lower(char c) { return static_cast<char>(c | ((static_cast<unsigned char>(c - 'A') < 26) << 5)); }
  // Eight bytes at a time: the texts are short, too short for vector code to pay.
  static bool is_ascii(std::string_view s) {
    std::uint64_t seen = 0;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
      std::uint64_t chunk;
      std::memcpy(&chunk, s.data() + i, 8);
      seen |= chunk;
    }
    for (; i < s.size(); ++i) seen |= static_cast<unsigned char>(s[i]);
    return (seen & 0x8080808080808080ull) == 0;
  }
  bool lowered_contains(std::string_view text, std::string_view lowered);

  std::string buffer_;
};

}  // namespace vantor::matching
