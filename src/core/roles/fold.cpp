#include "roles/fold.hpp"

#include <array>

#include "text/case.hpp"
#include "text/whitespace.hpp"

namespace vantor::roles {
namespace {

struct Plain {
  std::string_view fancy;  // UTF-8
  char plain;
};

// The marks people's keyboards type as ' " and -.
constexpr std::array<Plain, 19> plain_marks = {{
    {"\u2018", '\''}, {"\u2019", '\''}, {"\u201A", '\''}, {"\u201B", '\''}, {"\u2032", '\''},
    {"\u02BC", '\''}, {"\u201C", '"'},  {"\u201D", '"'},  {"\u201E", '"'},  {"\u201F", '"'},
    {"\u2033", '"'},  {"\u2010", '-'},  {"\u2011", '-'},  {"\u2012", '-'},  {"\u2013", '-'},
    {"\u2014", '-'},  {"\u2015", '-'},  {"\u2212", '-'},  {"\u00AD", '\0'},  // a soft hyphen shows nothing
}};

// The length of a typographic mark at pos, and its plain form; 0 when none.
std::size_t mark_at(std::string_view s, std::size_t pos, char& plain) {
  if (static_cast<unsigned char>(s[pos]) < 0x80) return 0;
  for (const Plain& p : plain_marks) {
    if (s.compare(pos, p.fancy.size(), p.fancy) == 0) {
      plain = p.plain;
      return p.fancy.size();
    }
  }
  return 0;
}

}  // namespace

std::string fold_name(std::string_view text) {
  const std::string lowered = text::lower(text);
  const std::string_view s = lowered;
  std::string out;
  out.reserve(s.size());
  bool pending_space = false;
  for (std::size_t pos = 0; pos < s.size();) {
    if (const std::size_t space = text::space_length_at(s, pos)) {
      pending_space = !out.empty();
      pos += space;
      continue;
    }
    if (pending_space) out.push_back(' ');
    pending_space = false;
    char plain = 0;
    if (const std::size_t mark = mark_at(s, pos, plain)) {
      if (plain) out.push_back(plain);
      pos += mark;
      continue;
    }
    out.push_back(s[pos]);
    ++pos;
  }
  return out;
}

}  // namespace vantor::roles
