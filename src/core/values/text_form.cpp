#include "values/text_form.hpp"

#include <charconv>
#include <cmath>

#include "text/quoted.hpp"

namespace vantor::values {

std::string float_repr(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
  // Shortest round-trip digits, then laid out the way repr() lays them out.
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
  const std::string_view sci(buf, static_cast<std::size_t>(result.ptr - buf));
  const std::size_t e_pos = sci.find('e');
  const bool negative = sci.front() == '-';
  std::string digits;
  for (char c : sci.substr(negative ? 1 : 0, e_pos - (negative ? 1 : 0)))
    if (c != '.') digits += c;
  int exponent = 0;
  std::from_chars(sci.data() + e_pos + 1 + (sci[e_pos + 1] == '+'), sci.data() + sci.size(), exponent);
  // The value is 0.DIGITS times ten to the power point.
  const int point = exponent + 1;
  std::string out = negative ? "-" : "";
  if (point > 16 || point < -3) {
    out += digits.front();
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    const int e = point - 1;
    out += e < 0 ? "e-" : "e+";
    const int magnitude = e < 0 ? -e : e;
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
  } else if (point <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-point), '0');
    out += digits;
  } else if (static_cast<std::size_t>(point) >= digits.size()) {
    out += digits;
    out.append(static_cast<std::size_t>(point) - digits.size(), '0');
    out += ".0";
  } else {
    out.append(digits, 0, static_cast<std::size_t>(point));
    out += '.';
    out.append(digits, static_cast<std::size_t>(point));
  }
  return out;
}

void append_text_form(std::string& out, const Value& v) {
  if (v.is_back_reference()) {
    out += v.is_record() ? "{...}" : "[...]";
    return;
  }
  std::visit(
      [&out](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          out += "None";
        } else if constexpr (std::is_same_v<T, bool>) {
          out += x ? "True" : "False";
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          out += std::to_string(x);
        } else if constexpr (std::is_same_v<T, BigInt>) {
          out += x.digits;
        } else if constexpr (std::is_same_v<T, double>) {
          out += float_repr(x);
        } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::string_view>) {
          text::append_quoted(out, x);
        } else if constexpr (std::is_same_v<T, List>) {
          out += '[';
          for (std::size_t i = 0; i < x.size(); ++i) {
            if (i) out += ", ";
            append_text_form(out, x[i]);
          }
          out += ']';
        } else {
          out += '{';
          for (std::size_t i = 0; i < x.entries().size(); ++i) {
            if (i) out += ", ";
            text::append_quoted(out, x.entries()[i].key);
            out += ": ";
            append_text_form(out, x.entries()[i].value);
          }
          out += '}';
        }
      },
      v.storage());
}

}  // namespace vantor::values
