// Properties of single code points, as the host Python sees them.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/unicode_tables.hpp"

namespace vantor::text {

inline constexpr char32_t max_code_point = 0x10FFFF;

namespace flag {
inline constexpr std::uint8_t space = 1;            // str.isspace: trimmed and split on
inline constexpr std::uint8_t decimal = 2;          // str.isdecimal: what int() reads as a digit
inline constexpr std::uint8_t digit = 4;            // str.isdigit: decimal and digit numeric types
inline constexpr std::uint8_t printable = 8;        // str.isprintable: shown as is by repr()
inline constexpr std::uint8_t cased = 16;           // upper, lower or title case
inline constexpr std::uint8_t case_ignorable = 32;  // skipped by the final-sigma rule
inline constexpr std::uint8_t lower_expands = 64;   // lower case is several characters
}  // namespace flag

inline const tables::CharRecord& char_record(char32_t cp) {
  if (cp > max_code_point) cp = 0;  // unreachable for decoded text; keeps look-ups in bounds
  constexpr char32_t low_mask = (1u << tables::block_shift) - 1;
  const std::uint32_t block = tables::stage1[cp >> tables::block_shift];
  return tables::records[tables::stage2[(block << tables::block_shift) | (cp & low_mask)]];
}

inline bool has_flag(char32_t cp, std::uint8_t f) { return (char_record(cp).flags & f) != 0; }

inline bool is_space(char32_t cp) { return has_flag(cp, flag::space); }
inline bool is_decimal(char32_t cp) { return has_flag(cp, flag::decimal); }
inline bool is_digit(char32_t cp) { return has_flag(cp, flag::digit); }
inline bool is_printable(char32_t cp) { return has_flag(cp, flag::printable); }
inline bool is_cased(char32_t cp) { return has_flag(cp, flag::cased); }
inline bool is_case_ignorable(char32_t cp) { return has_flag(cp, flag::case_ignorable); }

// The Unicode version of the tables: that of the interpreter that built them.
inline std::string_view unicode_version() { return tables::unicode_version; }

}  // namespace vantor::text
