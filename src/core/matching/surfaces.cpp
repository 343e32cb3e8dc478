#include "matching/surfaces.hpp"

#include <algorithm>
#include <vector>

#include "matching/tables.hpp"
#include "text/case.hpp"
#include "text/utf8.hpp"
#include "text/whitespace.hpp"

namespace vantor::matching {
namespace {

bool is_type_word(std::string_view word) { return is_one_of(type_descriptors, text::LowerWord(word).view()); }

// A class or id word is kept when longer than `longer_than` characters and free of digits.
bool kept(std::string_view word, std::size_t longer_than) {
  return char_count(word) > longer_than && !has_decimal(word);
}

void append_replacing(std::string& out, std::string_view s, char a, char b) {
  for (char c : s) out += (c == a || c == b) ? ' ' : c;
}

// Appends the words of s, split at runs of whitespace and of the two
// separator characters, that are kept, joined by single spaces. Splitting
// here is the same as replacing the separators by spaces and then splitting.
void join_kept_words(std::string_view s, char a, char b, std::size_t longer_than, std::string& out) {
  out.clear();
  const auto separator_at = [&](std::size_t pos) -> std::size_t {
    return (s[pos] == a || s[pos] == b) ? 1 : text::space_length_at(s, pos);
  };
  std::size_t pos = 0;
  while (pos < s.size()) {
    if (const std::size_t n = separator_at(pos)) {
      pos += n;
      continue;
    }
    const std::size_t start = pos;
    while (pos < s.size() && separator_at(pos) == 0) pos += text::decode_at(s, pos).length;
    const std::string_view word = s.substr(start, pos - start);
    if (!kept(word, longer_than)) continue;
    if (!out.empty()) out += ' ';
    out += word;
  }
}

}  // namespace

std::string strip_type_descriptors(std::string_view target) {
  const std::vector<std::string_view> words = text::split(target);
  auto first = words.begin(), last = words.end();
  while (first != last && is_type_word(*(last - 1))) --last;
  while (first != last && is_type_word(*first)) ++first;
  if (first == last) return std::string(target);
  std::string joined(*first);
  for (auto w = first + 1; w != last; ++w) (joined += ' ') += *w;
  return joined;
}

bool class_surface(std::string_view class_name, std::string& out) {
  // Whole tokens are judged before their separators become spaces.
  out.clear();
  for (text::FirstWord next = text::split_first_word(class_name); !next.word.empty();
       next = text::split_first_word(next.rest)) {
    if (!kept(next.word, 3)) continue;
    if (!out.empty()) out += ' ';
    append_replacing(out, next.word, '_', '-');
  }
  return !out.empty();
}

bool id_surface(std::string_view id, std::string& out) {
  // An id is split at its separators first, and each word judged alone.
  join_kept_words(id, '_', '-', 3, out);
  return !out.empty();
}

bool data_name_surface(std::string_view name, std::string& out) {
  if (name.size() < 5) return false;
  join_kept_words(name.substr(5), '-', '_', 1, out);
  return !out.empty();
}

SurfaceMatcher::SurfaceMatcher(std::string_view target, bool include_label)
    : lowered_(text::lower(target)), include_label_(include_label), has_digit_(has_decimal(lowered_)) {
  std::string_view rest = lowered_;
  while (!rest.empty()) {
    const std::size_t space = rest.find(' ');
    const std::string_view run = rest.substr(0, space);
    if (run.size() > piece_.size()) piece_ = run;
    if (space == std::string_view::npos) break;
    rest.remove_prefix(space + 1);
  }
  target_needle_ = Needle(lowered_);
  piece_needle_ = Needle(piece_);
}

bool SurfaceMatcher::may_hold(std::string_view raw) {
  return !has_digit_ && (piece_.empty() || fold_.contains(raw, piece_needle_));
}

bool SurfaceMatcher::matches(const Descriptor& d) {
  return for_each_surface(
      d, include_label_, scratch_,
      [this](std::string_view surface, const Field*) { return fold_.contains(surface, target_needle_); },
      [this](std::string_view raw) { return may_hold(raw); });
}

bool SurfaceMatcher::exact_matches(const Descriptor& d) {
  return for_each_surface(
      d, include_label_, scratch_,
      [this](std::string_view surface, const Field*) { return fold_.equals_trimmed(surface, lowered_); },
      [this](std::string_view raw) { return may_hold(raw); });
}
}  // namespace vantor::matching
