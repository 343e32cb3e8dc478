// Case-insensitive tests of a caller's text against an already lowered text,
// with Python's lower-casing. ASCII texts are compared in place; any other text
// is lowered into a buffer that the tester reuses.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the word-wise search counts byte lanes from the low end");

namespace vantor::matching {

// Characters, as Python's len() counts them, of a UTF-8 text.
std::size_t char_count(std::string_view s);

// True when some character is a decimal digit (str.isdecimal).
bool has_decimal(std::string_view s);

// s without its first n characters (Python's s[n:]).
std::string_view drop_chars(std::string_view s, std::size_t n);

// A lowered text prepared for searching: its first byte in both cases,
// repeated over a word, and for a long text the table of a linear-time
// search, so that no text costs its length times the needle's.
struct Needle {
  Needle() = default;
  explicit Needle(std::string_view lowered);
  std::string_view text;
  unsigned char first = 0;
  std::uint64_t lower_lanes = 0, upper_lanes = 0;
  // Knuth-Morris-Pratt: the longest proper border of each prefix; empty for short texts.
  std::vector<std::uint32_t> borders;
  static constexpr std::size_t long_from = 64;  // shorter needles cost at most that factor
};

class CaseFold {
 public:
  // lowered in lower(text). An ASCII text is searched in place, eight bytes
  // at a time for the first character in either case; any other text is
  // lowered first (some non-ASCII letters lower to ASCII ones). A match found
  // in an ASCII stretch before a non-ASCII byte is a match all the same.
  bool contains(std::string_view text, const Needle& needle) {
    const std::string_view lowered = needle.text;
    const std::size_t n = text.size(), m = lowered.size();
    if (m == 0) return true;
    if (!needle.borders.empty()) return linear_contains(text, needle);
    if (m > n || needle.first >= 0x80) return is_ascii(text) ? false : lowered_contains(text, lowered);
    const auto matches_at = [&](std::size_t pos) {
      if (pos + m > n) return false;
      std::size_t k = 1;
      while (k < m && ascii_lower(text[pos + k]) == lowered[k]) ++k;
      return k == m;
    };
    // Whole words, then the rest padded with zero bytes, which cannot start a match that fits.
    for (std::size_t i = 0; i < n; i += 8) {
      const std::uint64_t chunk = word_at(text, i);
      if (chunk & high_bits) return lowered_contains(text, lowered);
      std::uint64_t hits = zero_bytes(chunk ^ needle.lower_lanes) | zero_bytes(chunk ^ needle.upper_lanes);
      for (; hits; hits &= hits - 1)
        if (matches_at(i + static_cast<std::size_t>(__builtin_ctzll(hits)) / 8)) return true;
    }
    return false;
  }
  // For a single search; prepare a Needle once to search many texts.
  bool contains(std::string_view text, std::string_view lowered) { return contains(text, Needle(lowered)); }
  // strip(lower(text)) == lowered
  bool equals_trimmed(std::string_view text, std::string_view lowered);
  // lower(text), valid until the next call
  std::string_view lower(std::string_view text);

 private:
  static char ascii_lower(char c) { return static_cast<char>(c | ((static_cast<unsigned char>(c - 'A') < 26) << 5)); }
  static constexpr std::uint64_t high_bits = 0x8080808080808080ull;
  // The eight bytes of s from pos, the first in the low lane; zero past the end.
  static std::uint64_t word_at(std::string_view s, std::size_t pos) {
    std::uint64_t word;
    const std::size_t left = s.size() - pos;
    if (left >= 8) {
      std::memcpy(&word, s.data() + pos, 8);
      return word;
    }
    if (s.size() >= 8) {  // the last eight bytes, shifted past those already seen
      std::memcpy(&word, s.data() + s.size() - 8, 8);
      return word >> (8 * (8 - left));
    }
    word = 0;
    for (std::size_t k = 0; k < left; ++k) word |= std::uint64_t{static_cast<unsigned char>(s[pos + k])} << (8 * k);
    return word;
  }
  // 0x80 in each byte of x that is zero, for x without high bits set.
  static constexpr std::uint64_t zero_bytes(std::uint64_t x) {
    return ~((x & 0x7F7F7F7F7F7F7F7Full) + 0x7F7F7F7F7F7F7F7Full) & high_bits;
  }
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
    return (seen & high_bits) == 0;
  }
  bool lowered_contains(std::string_view text, std::string_view lowered);
  bool linear_contains(std::string_view text, const Needle& needle);

  std::string buffer_;
};

}  // namespace vantor::matching
