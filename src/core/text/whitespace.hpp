// Trimming and word splitting at Unicode whitespace, as str.strip() and
// str.split() with no arguments do it.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vantor::text {

// Length in bytes of the whitespace character at pos, 0 when it is not one.
std::size_t space_length_at(std::string_view s, std::size_t pos);
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
