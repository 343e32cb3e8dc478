// The small text operations that shape a step's target: taking off double
// quotes, dropping leading filler words, and reading a leading ordinal word.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::steps {

// A step with the double quotes of its quoted phrases taken away. The text
// views the original when nothing was quoted, so it is neither copied nor
// moved: make it where it is used.
class Unquoted {
 public:
  struct Span {
    std::size_t begin, end;  // byte range of one phrase's content in text()
  };

  explicit Unquoted(std::string_view instruction);
  Unquoted(const Unquoted&) = delete;
  Unquoted& operator=(const Unquoted&) = delete;

  std::string_view text() const { return text_; }
  // The quoted phrases, in order of appearance, duplicates kept.
  const std::vector<Span>& spans() const { return spans_; }
  std::string_view literal(const Span& s) const { return text_.substr(s.begin, s.end - s.begin); }
  std::vector<std::string_view> literals() const;

  // True when target is exactly one of the quoted phrases (same characters,
  // same case); never for a step without quoted phrases.
  bool is_literal(std::string_view target) const;
  // True when the byte range [begin, end) of text() touches a quoted phrase.
  bool overlaps_literal(std::size_t begin, std::size_t end) const;

 private:
  std::string storage_;
  std::string_view text_;
  std::vector<Span> spans_;
};

// The target without its leading filler words, words joined by single spaces.
std::string clean_target(std::string_view target);

struct OrdinalSplit {
  int ordinal;  // 1 when the text starts with no ordinal word
  std::string_view rest;
};

// Takes a leading ordinal word ("second") off text; the rest starts at the
// next word and keeps its inner and trailing whitespace.
OrdinalSplit extract_ordinal(std::string_view text);

// Trimmed, then stripped of any run of double quotes at either end, then of
// single quotes: the keys of sendkeys and the milliseconds of wait.
std::string_view strip_quote_runs(std::string_view text);

}  // namespace vantor::steps
