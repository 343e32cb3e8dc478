#include "steps/target_text.hpp"

#include <algorithm>

#include "steps/vocabulary.hpp"
#include "text/case.hpp"
#include "text/whitespace.hpp"

namespace vantor::steps {

Unquoted::Unquoted(std::string_view instruction) {
  // Phrases are found left to right without overlap, as the quote pattern
  // finds them: a quote, at least one character that is not a quote, a quote.
  std::size_t copied = 0;
  for (std::size_t open = instruction.find('"'); open != std::string_view::npos;) {
    const std::size_t close = instruction.find('"', open + 1);
    if (close == std::string_view::npos) break;
    if (close == open + 1) {  // an empty pair: no phrase; the second quote may open one
      open = close;
      continue;
    }
    storage_.append(instruction, copied, open - copied);
    const std::size_t begin = storage_.size();
    storage_.append(instruction, open + 1, close - open - 1);
    spans_.push_back({begin, storage_.size()});
    copied = close + 1;
    open = instruction.find('"', copied);
  }
  if (spans_.empty()) {
    text_ = instruction;
  } else {
    storage_.append(instruction, copied);
    text_ = storage_;
  }
}

std::vector<std::string_view> Unquoted::literals() const {
  std::vector<std::string_view> out;
  out.reserve(spans_.size());
  for (const Span& s : spans_) out.push_back(literal(s));
  return out;
}

bool Unquoted::is_literal(std::string_view target) const {
  for (const Span& s : spans_)
    if (literal(s) == target) return true;
  return false;
}

bool Unquoted::overlaps_literal(std::size_t begin, std::size_t end) const {
  // Phrases lie in ascending order without overlap: the only one that can
  // touch the range is the first that ends after its start.
  const auto first = std::partition_point(spans_.begin(), spans_.end(), [&](const Span& s) { return s.end <= begin; });
  return first != spans_.end() && first->begin < end;
}

namespace {

bool is_stop_word(std::string_view word) { return contains(stop_words, text::LowerWord(word).view()); }

}  // namespace

std::string clean_target(std::string_view target) {
  text::FirstWord next = text::split_first_word(target);
  while (!next.word.empty() && is_stop_word(next.word)) next = text::split_first_word(next.rest);
  std::string out;
  for (; !next.word.empty(); next = text::split_first_word(next.rest)) {
    if (!out.empty()) out += ' ';
    out.append(next.word);
  }
  return out;
}

OrdinalSplit extract_ordinal(std::string_view text) {
  const text::FirstWord first = text::split_first_word(text);
  if (!first.word.empty()) {
    const text::LowerWord word(first.word);
    for (const OrdinalWord& o : ordinal_words)
      if (o.word == word.view()) return {o.number, first.rest};
  }
  return {1, text};
}

std::string_view strip_quote_runs(std::string_view text) {
  text = text::strip(text);
  for (char quote : {'"', '\''}) {
    const std::size_t first = text.find_first_not_of(quote);
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(quote) - first + 1);
  }
  return text;
}

}  // namespace vantor::steps
