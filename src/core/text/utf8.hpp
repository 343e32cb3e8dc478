// UTF-8 walking. Text in the core is UTF-8; lone surrogates, which Python
// strings may hold, are carried as their three-byte encoding so that nothing
// the caller wrote is lost on the way through.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor::text {

struct Decoded {
  char32_t code_point;
  std::size_t length;  // bytes taken by the character
};

inline bool is_ascii(std::string_view s) {
  unsigned char seen = 0;
  for (unsigned char c : s) seen |= c;  // no early exit: the loop vectorises
  return seen < 0x80;
}

inline bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the character that starts at pos. A malformed sequence decodes as
// its lead byte alone, so a walk always advances and never reads past the end.
inline Decoded decode_at(std::string_view s, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || pos + length > s.size()) return {lead, 1};
  char32_t cp = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if (!is_continuation(byte(pos + i))) return {lead, 1};
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  return {cp, length};
}

// Start of the character that ends just before pos (pos > 0).
inline std::size_t previous_start(std::string_view s, std::size_t pos) {
  std::size_t start = pos - 1;
  while (start > 0 && pos - start < 4 && is_continuation(static_cast<unsigned char>(s[start]))) --start;
  // Only a well-formed sequence that ends exactly at pos counts as one character.
  if (decode_at(s, start).length == pos - start) return start;
  return pos - 1;
}

inline void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The number of characters (code points), as len() counts them.
inline std::size_t character_count(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < s.size(); pos += decode_at(s, pos).length) ++count;
  return count;
}

// The first `count` characters, as s[:count] takes them.
inline std::string_view first_characters(std::string_view s, std::size_t count) {
  std::size_t pos = 0;
  for (; pos < s.size() && count > 0; --count) pos += decode_at(s, pos).length;
  return s.substr(0, pos);
}

// True when the text holds a lone surrogate (carried in its three-byte form),
// which strict UTF-8 cannot hold.
inline bool has_surrogate(std::string_view s) {
  for (std::size_t pos = s.find('\xED'); pos != std::string_view::npos; pos = s.find('\xED', pos + 1))
    if (pos + 1 < s.size() && static_cast<unsigned char>(s[pos + 1]) >= 0xA0) return true;
  return false;
}

}  // namespace vantor::text
