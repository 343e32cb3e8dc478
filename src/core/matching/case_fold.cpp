#include "matching/case_fold.hpp"

#include "text/case.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/whitespace.hpp"

namespace vantor::matching {

std::size_t char_count(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += !text::is_continuation(c);
  return n;
}

bool has_decimal(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const auto c = static_cast<unsigned char>(s[pos]);
    if (c < 0x80) {
      if (c >= '0' && c <= '9') return true;
      ++pos;
      continue;
    }
    const text::Decoded d = text::decode_at(s, pos);
    if (text::is_decimal(d.code_point)) return true;
    pos += d.length;
  }
  return false;
}

std::string_view drop_chars(std::string_view s, std::size_t n) {
  std::size_t pos = 0;
  for (; n > 0 && pos < s.size(); --n) pos += text::decode_at(s, pos).length;
  return s.substr(pos);
}

Needle::Needle(std::string_view lowered) : text(lowered) {
  if (lowered.empty()) return;
  if (lowered.size() >= long_from) {
    borders.assign(lowered.size(), 0);
    for (std::size_t i = 1, k = 0; i < lowered.size(); ++i) {
      while (k > 0 && lowered[i] != lowered[k]) k = borders[k - 1];
      if (lowered[i] == lowered[k]) ++k;
      borders[i] = static_cast<std::uint32_t>(k);
    }
  }
  first = static_cast<unsigned char>(lowered[0]);
  const unsigned char upper = (first >= 'a' && first <= 'z') ? first - 32 : first;
  lower_lanes = 0x0101010101010101ull * first;
  upper_lanes = 0x0101010101010101ull * upper;
}

std::string_view CaseFold::lower(std::string_view text) {
  if (text::is_ascii(text)) {
    buffer_.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) buffer_[i] = text::ascii_lower(text[i]);
  } else {
    buffer_ = text::lower(text);
  }
  return buffer_;
}

bool CaseFold::lowered_contains(std::string_view text, std::string_view lowered) {
  return lower(text).find(lowered) != std::string_view::npos;
}

bool CaseFold::linear_contains(std::string_view text, const Needle& needle) {
  const std::string_view haystack = is_ascii(text) ? text : lower(text);
  const std::string_view pattern = needle.text;
  for (std::size_t i = 0, k = 0; i < haystack.size(); ++i) {
    const char c = ascii_lower(haystack[i]);  // the lowered text is left as it is: lowering again changes nothing
    while (k > 0 && c != pattern[k]) k = needle.borders[k - 1];
    if (c == pattern[k] && ++k == pattern.size()) return true;
  }
  return false;
}

bool CaseFold::equals_trimmed(std::string_view text, std::string_view lowered) {
  if (text::is_ascii(text)) {
    const std::string_view trimmed = text::strip(text);
    if (trimmed.size() != lowered.size()) return false;
    for (std::size_t i = 0; i < trimmed.size(); ++i)
      if (text::ascii_lower(trimmed[i]) != lowered[i]) return false;
    return true;
  }
  return text::strip(lower(text)) == lowered;
}

}  // namespace vantor::matching
