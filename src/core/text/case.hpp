// Lower-casing exactly as str.lower() does it: full mappings (one character
// may become several) and the final-sigma rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::text {

std::string lower(std::string_view s);

inline char ascii_lower(char c) { return static_cast<char>(c | ((static_cast<unsigned char>(c - 'A') < 26) << 5)); }

// The lower case of one word, built in place for short ASCII words (the only
// ones that can be a keyword) so that looking a word up allocates nothing.
// Neither copied nor moved: make it where it is used.
class LowerWord {
 public:
  explicit LowerWord(std::string_view word);
  LowerWord(const LowerWord&) = delete;
  LowerWord& operator=(const LowerWord&) = delete;
  std::string_view view() const { return view_; }

 private:
  char inline_[15];
  std::string spill_;
  std::string_view view_;
};

// A lowered text that remembers where each of its bytes came from, so that a
// position found in the lowered text can cut the original at the same place
// even when lowering changed the length (İ becomes two characters, the Kelvin
// sign one byte).
//
// Short ASCII texts, the usual step, are lowered into the object itself, so it
// is neither copied nor moved: make it where it is used.
class LoweredText {
 public:
  explicit LoweredText(std::string_view source);
  LoweredText(const LoweredText&) = delete;
  LoweredText& operator=(const LoweredText&) = delete;

  std::string_view text() const { return text_; }
  // Byte offset in the source of the character that produced lowered byte
  // pos; the source's length for pos == text().size().
  std::size_t source_offset(std::size_t pos) const { return origins_.empty() ? pos : origins_[pos]; }

 private:
  std::string_view text_;
  char inline_[96];
  std::string heap_;
  std::vector<std::size_t> origins_;  // empty when offsets are the same in both
};

}  // namespace vantor::text
