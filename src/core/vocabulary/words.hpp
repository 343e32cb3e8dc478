// The words every target reader knows: the phrases that place an element,
// the words that name its type, ordinal words and articles. Each reader
// draws the part its rules name from these lists (see draw.hpp).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vantor::vocabulary {

// Where a phrase places an element against its anchor.
enum class Place : std::uint8_t { next_to, below, above, left, right, near };

struct PlacePhrase {
  std::string_view spaced;  // with the blank after it: a phrase is followed by a word
  Place place;

  constexpr std::string_view phrase() const { return spaced.substr(0, spaced.size() - 1); }
  constexpr std::string_view key() const { return phrase(); }
};

inline constexpr std::array<PlacePhrase, 11> place_phrases = {{
    {"next to ", Place::next_to},
    {"below ", Place::below},
    {"under ", Place::below},
    {"above ", Place::above},
    {"left of ", Place::left},
    {"right of ", Place::right},
    {"near ", Place::near},
    {"to the left of ", Place::left},
    {"to the right of ", Place::right},
    {"beneath ", Place::below},
    {"over ", Place::above},
}};

struct TypeWord {
  std::string_view word;
  std::string_view type;  // the element type it names: button, link, input, select; "" for a vaguer word

  constexpr std::string_view key() const { return word; }
};

inline constexpr std::array<TypeWord, 19> type_words = {{
    {"button", "button"}, {"btn", "button"},    {"link", "link"},     {"anchor", "link"},     {"input", "input"},
    {"field", "input"},   {"textbox", "input"}, {"select", "select"}, {"dropdown", "select"}, {"box", ""},
    {"checkbox", ""},     {"radio", ""},        {"textarea", ""},     {"area", ""},           {"icon", ""},
    {"control", ""},      {"widget", ""},       {"form", ""},         {"element", ""},
}};

inline constexpr int last_ordinal = -1;

struct OrdinalWord {
  std::string_view word;
  int number;

  constexpr std::string_view key() const { return word; }
  constexpr bool in_digits() const { return word.front() >= '0' && word.front() <= '9'; }
};

inline constexpr std::array<OrdinalWord, 16> ordinal_words = {{
    {"first", 1},
    {"second", 2},
    {"third", 3},
    {"fourth", 4},
    {"fifth", 5},
    {"sixth", 6},
    {"seventh", 7},
    {"eighth", 8},
    {"ninth", 9},
    {"tenth", 10},
    {"last", last_ordinal},
    {"1st", 1},
    {"2nd", 2},
    {"3rd", 3},
    {"4th", 4},
    {"5th", 5},
}};

// In the order they are taken off the front of an anchor.
inline constexpr std::array<std::string_view, 3> articles = {"the", "a", "an"};

}  // namespace vantor::vocabulary
