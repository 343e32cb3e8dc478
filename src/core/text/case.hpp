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

// A lowered text that remembers where each of its bytes came from, so that a
// position found in the lowered text can cut the original at the same place
// even when lowering changed the length (İ becomes two characters, the Kelvin
// sign one byte).
class LoweredText {
 public:
  explicit LoweredText(std::string_view source);

  const std::string& text() const { return text_; }
  // Byte offset in the source of the character that produced lowered byte
  // pos; the source's length for pos == text().size().
  std::size_t source_offset(std::size_t pos) const {
    return origins_.empty() ? pos : origins_[pos];
  }

 private:
  std::string text_;
  std::vector<std::uint32_t> origins_;  // empty when offsets are the same in both
};

}  // namespace vantor::text
