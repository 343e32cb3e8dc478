// Trimming and word splitting at Unicode whitespace, as str.strip() and
// str.split() with no arguments do it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vantor::text {

// ASCII whitespace as Python counts it: \t \n \v \f \r, the four separators
// \x1c to \x1f, and space.
inline bool is_ascii_space(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x20); }

std::size_t non_ascii_space_length_at(std::string_view s, std::size_t pos);

// Length in bytes of the whitespace character at pos, 0 when it is not one.
inline std::size_t space_length_at(std::string_view s, std::size_t pos) {
  const auto c = static_cast<unsigned char>(s[pos]);
  if (c < 0x80) return is_ascii_space(c) ? 1 : 0;
  return non_ascii_space_length_at(s, pos);
}

// Length of the whitespace character that ends just before pos, 0 when none.
std::size_t space_length_before(std::string_view s, std::size_t pos);

std::string_view lstrip(std::string_view s);
std::string_view rstrip(std::string_view s);
inline std::string_view strip(std::string_view s) { return rstrip(lstrip(s)); }

// Words: the runs between whitespace; never empty.
std::vector<std::string_view> split(std::string_view s);

// The first word and what follows it from the next non-whitespace character
// on, up to the end (trailing whitespace kept). Both empty for a blank text.
struct FirstWord {
  std::string_view word;
  std::string_view rest;
};
FirstWord split_first_word(std::string_view s);

}  // namespace vantor::text
