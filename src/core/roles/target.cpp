#include "roles/target.hpp"

#include <array>
#include <charconv>

#include "roles/fold.hpp"
#include "vocabulary/draw.hpp"
#include "vocabulary/words.hpp"

namespace vantor::roles {
namespace {

// Words people put before what they name; dropped from the front.
constexpr std::array<std::string_view, 7> leading_words =
    vocabulary::join(vocabulary::articles, std::array<std::string_view, 4>{"that", "over", "on", "onto"});

// Phrases that tie an element to the row of another; longest first, so that
// "in the same row as" is not read as "as". Each is found between blanks.
constexpr std::array<std::string_view, 6> row_phrases = {
    "in the same row as ",
    "in the row of ",
    "in the row for ",
    vocabulary::find(vocabulary::place_phrases, "next to").spaced,
    "beside ",
    "for ",
};

constexpr Direction direction_of(vocabulary::Place p) {
  switch (p) {
    case vocabulary::Place::below:
      return Direction::below;
    case vocabulary::Place::above:
      return Direction::above;
    case vocabulary::Place::left:
      return Direction::left;
    case vocabulary::Place::right:
      return Direction::right;
    default:
      return Direction::near;
  }
}

struct SpatialPhrase {
  std::string_view words;  // with its blank after it
  Direction direction;
};

// Phrases that place an element by where it lies on screen; "next to" is a
// row phrase here.
constexpr std::array<SpatialPhrase, 10> spatial_phrases = vocabulary::convert_each(
    vocabulary::pick(vocabulary::place_phrases, {"to the left of", "to the right of", "beneath", "left of", "right of",
                                                 "below", "above", "under", "over", "near"}),
    [](const vocabulary::PlacePhrase& p) {
      return SpatialPhrase{p.spaced, direction_of(p.place)};
    });

std::string_view first_word(std::string_view s) { return s.substr(0, s.find(' ')); }

std::string_view drop_word(std::string_view s) {
  const auto space = s.find(' ');
  return space == std::string_view::npos ? std::string_view() : s.substr(space + 1);
}

std::string_view drop_leading_words(std::string_view s) {
  for (bool dropped = true; dropped && !s.empty();) {
    dropped = false;
    for (std::string_view w : leading_words) {
      if (first_word(s) == w && s.size() > w.size()) {
        s = drop_word(s);
        dropped = true;
      }
    }
  }
  return s;
}

// "second", "2nd", "3rd", "last": its number; 0 when the word is none.
int ordinal_of(std::string_view word) {
  for (const vocabulary::OrdinalWord& o : vocabulary::ordinal_words)
    if (o.word == word) return o.number;
  if (word.size() < 3) return 0;
  const std::string_view digits = word.substr(0, word.size() - 2), suffix = word.substr(word.size() - 2);
  if (suffix != "st" && suffix != "nd" && suffix != "rd" && suffix != "th") return 0;
  int n = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return error == std::errc() && end == digits.data() + digits.size() && n > 0 ? n : 0;
}

// Where the blank before the first `words` after a blank lies in s; npos when none.
std::size_t find_after_blank(std::string_view s, std::string_view words) {
  for (std::size_t at = s.find(words, 1); at != std::string_view::npos; at = s.find(words, at + 1))
    if (s[at - 1] == ' ') return at - 1;
  return std::string_view::npos;
}

// Where a spatial phrase begins in s (after a space), and which; npos when none.
std::size_t find_spatial_phrase(std::string_view s, const SpatialPhrase*& found) {
  std::size_t first = std::string_view::npos;
  for (const SpatialPhrase& p : spatial_phrases) {
    const std::size_t at = find_after_blank(s, p.words);
    if (at != std::string_view::npos && (first == std::string_view::npos || at < first)) {
      first = at;
      found = &p;
    }
  }
  return first;
}

bool has_spatial_phrase(std::string_view s) {
  const SpatialPhrase* unused = nullptr;
  return find_spatial_phrase(" " + std::string(s), unused) != std::string_view::npos;
}

}  // namespace

Named read_named(std::string_view words) {
  Named named;
  named.whole = std::string(words);
  named.name = named.whole;
  const RoleWord* word = role_word_at_end(words);
  bool at_end = word != nullptr;
  if (!word) word = role_word_at_start(words);
  if (!word) return named;
  named.roles = word->roles;
  named.said = word->said;
  std::string_view rest =
      at_end ? words.substr(0, words.size() - word->words.size()) : words.substr(word->words.size());
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
  named.name = std::string(drop_leading_words(rest));
  return named;
}

Target read_target(std::string_view raw, bool literal, int parsed_ordinal) {
  Target t;
  t.ordinal = parsed_ordinal > 0 ? parsed_ordinal : 1;
  t.counted = parsed_ordinal > 1;
  const std::string folded = fold_name(raw);
  if (literal) {
    t.what.name = t.what.whole = folded;
    t.plain = t.what;
    return t;
  }
  std::string_view s = drop_leading_words(folded);
  if (const int n = ordinal_of(first_word(s)); n != 0 && !drop_word(s).empty()) {
    t.ordinal = n;
    t.counted = true;
    s = drop_leading_words(drop_word(s));
  }
  t.plain = read_named(s);
  for (std::string_view phrase : row_phrases) {
    const auto at = find_after_blank(s, phrase);
    if (at == std::string_view::npos || at == 0) continue;
    const std::string_view key = drop_leading_words(s.substr(at + 1 + phrase.size()));
    if (key.empty()) continue;
    t.has_row = true;
    t.row = read_named(key);
    s = s.substr(0, at);
    break;
  }
  // "the button right of Back" lies where the page puts it, not in a row.
  t.spatial = has_spatial_phrase(s) || (t.has_row && has_spatial_phrase(t.row.whole));
  t.what = read_named(s);
  const SpatialPhrase* phrase = nullptr;
  const std::string_view placed = t.plain.whole;
  if (const std::size_t at = find_spatial_phrase(placed, phrase); t.spatial && at != std::string_view::npos) {
    t.direction = phrase->direction;
    t.what = read_named(placed.substr(0, at));
    t.anchor = read_named(drop_leading_words(placed.substr(at + 1 + phrase->words.size())));
    t.has_row = false;
  }
  return t;
}

}  // namespace vantor::roles
