// Character tables generated at build time from the building interpreter's
// Unicode data (tools/gen_unicode_tables.py), so every text operation agrees
// with the host Python that will load the modules.
#pragma once

#include <cstdint>

namespace vantor::text::tables {

// One distinct combination of character properties.
struct CharRecord {
  std::uint8_t flags;
  // Lower-case mapping: the code point delta, or the index into the
  // expansions when the flags say the lower case is longer than one character.
  std::int32_t lower;
};

// A code point's record is records[stage2[(stage1[cp >> block_shift] << block_shift) + low bits]].
inline constexpr int block_shift = 7;

extern const char unicode_version[];
extern const CharRecord records[];
extern const std::uint8_t stage1[];
extern const std::uint8_t stage2[];
// Expansion i is expansion_chars[expansion_starts[i] .. expansion_starts[i + 1]).
extern const char32_t expansion_chars[];
extern const std::uint16_t expansion_starts[];

}  // namespace vantor::text::tables
