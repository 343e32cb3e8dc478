#include "text/quoted.hpp"

#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace vantor::text {
namespace {

void append_hex_escape(std::string& out, char kind, char32_t cp, int digits) {
  static constexpr char hex[] = "0123456789abcdef";
  out += '\\';
  out += kind;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += hex[(cp >> shift) & 0xF];
}

void append_escaped(std::string& out, char32_t cp) {
  if (cp <= 0xFF)
    append_hex_escape(out, 'x', cp, 2);
  else if (cp <= 0xFFFF)
    append_hex_escape(out, 'u', cp, 4);
  else
    append_hex_escape(out, 'U', cp, 8);
}

}  // namespace

void append_quoted(std::string& out, std::string_view s) {
  // Single quotes, unless the text holds a single quote and no double quote.
  const bool has_single = s.find('\'') != std::string_view::npos;
  const bool has_double = s.find('"') != std::string_view::npos;
  const char quote = has_single && !has_double ? '"' : '\'';
  out.reserve(out.size() + s.size() + 2);
  out += quote;
  for (std::size_t pos = 0; pos < s.size();) {
    const auto byte = static_cast<unsigned char>(s[pos]);
    if (byte < 0x80) {
      ++pos;
      if (byte == static_cast<unsigned char>(quote) || byte == '\\') {
        out += '\\';
        out += static_cast<char>(byte);
      } else if (byte == '\t') {
        out += "\\t";
      } else if (byte == '\n') {
        out += "\\n";
      } else if (byte == '\r') {
        out += "\\r";
      } else if (byte < 0x20 || byte == 0x7F) {
        append_escaped(out, byte);
      } else {
        out += static_cast<char>(byte);
      }
      continue;
    }
    const Decoded d = decode_at(s, pos);
    if (is_printable(d.code_point))
      out.append(s.substr(pos, d.length));
    else
      append_escaped(out, d.code_point);
    pos += d.length;
  }
  out += quote;
}

}  // namespace vantor::text
