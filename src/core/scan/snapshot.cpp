#include "scan/snapshot.hpp"

#include <cmath>
#include <cstdio>
#include <type_traits>
#include <variant>

#include "errors.hpp"
#include "text/utf8.hpp"
#include "values/text_form.hpp"

namespace vantor::scan {
namespace {

constexpr std::size_t slug_max_characters = 60;

std::string replace_all(std::string_view s, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t pos = 0;
  for (std::size_t at; (at = s.find(from, pos)) != std::string_view::npos; pos = at + from.size()) {
    out.append(s.substr(pos, at - pos));
    out.append(to);
  }
  out.append(s.substr(pos));
  return out;
}

void append_u_escape(std::string& out, unsigned unit) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "\\u%04x", unit);
  out += digits;
}

void append_json_string(std::string& out, std::string_view s) {
  out += '"';
  for (std::size_t pos = 0; pos < s.size();) {
    const text::Decoded d = text::decode_at(s, pos);
    const char32_t cp = d.code_point;
    pos += d.length;
    switch (cp) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case '\t':
        out += "\\t";
        continue;
      case '\b':
        out += "\\b";
        continue;
      case '\f':
        out += "\\f";
        continue;
      default:
        break;
    }
    if (cp >= 0x20 && cp <= 0x7E) {
      out += static_cast<char>(cp);
    } else if (cp < 0x10000) {
      append_u_escape(out, static_cast<unsigned>(cp));  // lone surrogates included
    } else {
      const char32_t v = cp - 0x10000;
      append_u_escape(out, 0xD800 | static_cast<unsigned>(v >> 10));
      append_u_escape(out, 0xDC00 | static_cast<unsigned>(v & 0x3FF));
    }
  }
  out += '"';
}

void append_number(std::string& out, double d) {
  if (std::isnan(d)) {
    out += "NaN";
  } else if (std::isinf(d)) {
    out += d > 0 ? "Infinity" : "-Infinity";
  } else {
    out += values::float_repr(d);
  }
}

void new_line(std::string& out, std::size_t depth) {
  out += '\n';
  out.append(2 * depth, ' ');
}

}  // namespace

std::string url_slug(std::string_view url) {
  const std::string slug = replace_all(replace_all(url, "://", "_"), "/", "_");
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < slug.size() && count < slug_max_characters; ++count)
    pos += text::decode_at(slug, pos).length;
  return slug.substr(0, pos);
}

std::string snapshot_file_name(std::string_view url, std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
  return std::string(stamp) + "_" + url_slug(url) + ".json";
}

void append_json(std::string& out, const values::Value& value, std::size_t depth) {
  if (value.is_back_reference()) throw ValueError("Circular reference detected");
  std::visit(
      [&](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          out += "null";
        } else if constexpr (std::is_same_v<T, bool>) {
          out += x ? "true" : "false";
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          out += std::to_string(x);
        } else if constexpr (std::is_same_v<T, values::BigInt>) {
          out += x.digits;
        } else if constexpr (std::is_same_v<T, double>) {
          append_number(out, x);
        } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::string_view>) {
          append_json_string(out, x);
        } else if constexpr (std::is_same_v<T, values::List>) {
          if (x.empty()) {
            out += "[]";
            return;
          }
          out += '[';
          for (std::size_t i = 0; i < x.size(); ++i) {
            if (i > 0) out += ',';
            new_line(out, depth + 1);
            append_json(out, x[i], depth + 1);
          }
          new_line(out, depth);
          out += ']';
        } else {
          if (x.empty()) {
            out += "{}";
            return;
          }
          out += '{';
          bool first = true;
          for (const values::Entry& entry : x.entries()) {
            if (!first) out += ',';
            first = false;
            new_line(out, depth + 1);
            append_json_string(out, entry.key);
            out += ": ";
            append_json(out, entry.value, depth + 1);
          }
          new_line(out, depth);
          out += '}';
        }
      },
      value.storage());
}

std::string snapshot_json(const values::Value& url, const values::Value& elements, const values::Value& text_elements) {
  std::string out = "{\n  \"url\": ";
  append_json(out, url, 1);
  out += ",\n  \"elements\": ";
  append_json(out, elements, 1);
  out += ",\n  \"text_elements\": ";
  append_json(out, text_elements, 1);
  out += "\n}";
  return out;
}

}  // namespace vantor::scan
