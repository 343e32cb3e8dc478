#include "text/case.hpp"

#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace vantor::text {
namespace {

constexpr char32_t capital_sigma = 0x3A3;
constexpr char32_t small_sigma = 0x3C3;
constexpr char32_t final_small_sigma = 0x3C2;

// A capital sigma at pos is final when a cased letter precedes it and none
// follows it, looking past case-ignorable characters both ways.
bool is_final_sigma(std::string_view s, std::size_t pos, std::size_t length) {
  bool cased_before = false;
  for (std::size_t j = pos; j > 0;) {
    j = previous_start(s, j);
    const char32_t cp = decode_at(s, j).code_point;
    if (!is_case_ignorable(cp)) {
      cased_before = is_cased(cp);
      break;
    }
  }
  if (!cased_before) return false;
  for (std::size_t j = pos + length; j < s.size();) {
    const Decoded d = decode_at(s, j);
    if (!is_case_ignorable(d.code_point)) return !is_cased(d.code_point);
    j += d.length;
  }
  return true;
}

void lower_ascii_into(char* out, std::string_view s) {
  const char* in = s.data();
  for (std::size_t i = 0; i < s.size(); ++i) out[i] = ascii_lower(in[i]);
}

// Appends the lower case of the character at pos and returns its length in s.
std::size_t append_lower_at(std::string& out, std::string_view s, std::size_t pos) {
  const Decoded d = decode_at(s, pos);
  if (d.code_point == capital_sigma) {
    append_utf8(out, is_final_sigma(s, pos, d.length) ? final_small_sigma : small_sigma);
    return d.length;
  }
  const tables::CharRecord& rec = char_record(d.code_point);
  if (rec.flags & flag::lower_expands) {
    for (auto i = tables::expansion_starts[rec.lower]; i < tables::expansion_starts[rec.lower + 1]; ++i)
      append_utf8(out, tables::expansion_chars[i]);
  } else {
    append_utf8(out, static_cast<char32_t>(static_cast<std::int32_t>(d.code_point) + rec.lower));
  }
  return d.length;
}

}  // namespace

std::string lower(std::string_view s) {
  std::string out;
  if (is_ascii(s)) {
    out.resize(s.size());
    lower_ascii_into(out.data(), s);
    return out;
  }
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    if (static_cast<unsigned char>(s[pos]) < 0x80) {
      out += ascii_lower(s[pos++]);
    } else {
      pos += append_lower_at(out, s, pos);
    }
  }
  return out;
}

LowerWord::LowerWord(std::string_view word) {
  if (word.size() <= sizeof inline_ && is_ascii(word)) {
    lower_ascii_into(inline_, word);
    view_ = std::string_view(inline_, word.size());
  } else {
    spill_ = lower(word);
    view_ = spill_;
  }
}

LoweredText::LoweredText(std::string_view source) {
  if (is_ascii(source)) {
    char* out = inline_;
    if (source.size() > sizeof inline_) {
      heap_.resize(source.size());
      out = heap_.data();
    }
    lower_ascii_into(out, source);
    text_ = std::string_view(out, source.size());
    return;
  }
  heap_.reserve(source.size());
  origins_.reserve(source.size() + 1);
  for (std::size_t pos = 0; pos < source.size();) {
    const std::size_t before = heap_.size();
    std::size_t length = 1;
    if (static_cast<unsigned char>(source[pos]) < 0x80)
      heap_ += ascii_lower(source[pos]);
    else
      length = append_lower_at(heap_, source, pos);
    origins_.insert(origins_.end(), heap_.size() - before, pos);
    pos += length;
  }
  origins_.push_back(source.size());
  text_ = heap_;
}

}  // namespace vantor::text
