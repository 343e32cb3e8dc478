#include "text/whitespace.hpp"

#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace vantor::text {
std::size_t non_ascii_space_length_at(std::string_view s, std::size_t pos) {
  const Decoded d = decode_at(s, pos);
  return is_space(d.code_point) ? d.length : 0;
}

std::size_t space_length_before(std::string_view s, std::size_t pos) {
  const auto c = static_cast<unsigned char>(s[pos - 1]);
  if (c < 0x80) return is_ascii_space(c) ? 1 : 0;
  const std::size_t start = previous_start(s, pos);
  return is_space(decode_at(s, start).code_point) ? pos - start : 0;
}

std::string_view lstrip(std::string_view s) {
  std::size_t pos = 0;
  while (pos < s.size()) {
    const std::size_t n = space_length_at(s, pos);
    if (n == 0) break;
    pos += n;
  }
  return s.substr(pos);
}

std::string_view rstrip(std::string_view s) {
  std::size_t end = s.size();
  while (end > 0) {
    const std::size_t n = space_length_before(s, end);
    if (n == 0) break;
    end -= n;
  }
  return s.substr(0, end);
}

FirstWord split_first_word(std::string_view s) {
  const std::string_view from_word = lstrip(s);
  std::size_t end = 0;
  while (end < from_word.size() && space_length_at(from_word, end) == 0)
    end += static_cast<unsigned char>(from_word[end]) < 0x80 ? 1 : decode_at(from_word, end).length;
  return {from_word.substr(0, end), lstrip(from_word.substr(end))};
}

std::vector<std::string_view> split(std::string_view s) {
  std::vector<std::string_view> words;
  for (FirstWord next = split_first_word(s); !next.word.empty(); next = split_first_word(next.rest))
    words.push_back(next.word);
  return words;
}

}  // namespace vantor::text
