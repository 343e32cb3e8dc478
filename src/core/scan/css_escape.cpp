#include "scan/css_escape.hpp"

#include <cstdio>

#include "text/utf8.hpp"

namespace vantor::scan {
namespace {

// "\" + lower-case hex digits + " ": the space ends the escape, so whatever
// follows cannot be read as one more digit.
void append_hex_escape(std::string& out, char32_t cp) {
  char digits[12];
  std::snprintf(digits, sizeof digits, "\\%x ", static_cast<unsigned>(cp));
  out += digits;
}

constexpr std::string_view replacement_character = "\xEF\xBF\xBD";  // U+FFFD

bool is_ascii_digit(char32_t cp) { return cp >= '0' && cp <= '9'; }
bool is_ascii_letter(char32_t cp) { return (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z'); }

}  // namespace

std::string css_identifier(std::string_view text) {
  std::string out;
  std::size_t index = 0;  // in characters
  char32_t first = 0;
  for (std::size_t pos = 0; pos < text.size(); ++index) {
    const text::Decoded d = text::decode_at(text, pos);
    const char32_t cp = d.code_point;
    if (index == 0) first = cp;
    if (cp == 0) {
      out += replacement_character;
    } else if ((cp >= 0x01 && cp <= 0x1F) || cp == 0x7F || (index == 0 && is_ascii_digit(cp)) ||
               (index == 1 && is_ascii_digit(cp) && first == '-')) {
      append_hex_escape(out, cp);
    } else if (index == 0 && cp == '-' && d.length == text.size()) {
      out += "\\-";
    } else if (cp >= 0x80 || cp == '-' || cp == '_' || is_ascii_digit(cp) || is_ascii_letter(cp)) {
      out.append(text.substr(pos, d.length));
    } else {
      out += '\\';
      out.append(text.substr(pos, d.length));
    }
    pos += d.length;
  }
  return out;
}

std::string css_string(std::string_view text) {
  std::string out = "\"";
  for (std::size_t pos = 0; pos < text.size();) {
    const text::Decoded d = text::decode_at(text, pos);
    const char32_t cp = d.code_point;
    if (cp == 0) {
      out += replacement_character;
    } else if ((cp >= 0x01 && cp <= 0x1F) || cp == 0x7F) {
      append_hex_escape(out, cp);
    } else if (cp == '"' || cp == '\\') {
      out += '\\';
      out += static_cast<char>(cp);
    } else {
      out.append(text.substr(pos, d.length));
    }
    pos += d.length;
  }
  out += '"';
  return out;
}

}  // namespace vantor::scan
