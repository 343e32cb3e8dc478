// The fixed word and tag tables of text matching.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

#include "vocabulary/draw.hpp"
#include "vocabulary/words.hpp"

namespace vantor::matching {

// Element-type words a target may carry ("login button"), all lower case.
inline constexpr auto type_descriptors = vocabulary::convert_each(
    vocabulary::select<vocabulary::type_words, [](const vocabulary::TypeWord& t) { return t.word != "anchor"; }>(),
    [](const vocabulary::TypeWord& t) { return t.word; });

// The attributes whose values are match surfaces, in the order they are tried.
// "_label" is the computed field label, a surface for type actions only.
inline constexpr std::array<std::string_view, 6> match_attributes = {"aria-label",  "_label", "placeholder",
                                                                     "data-testid", "type",   "alt"};

inline constexpr std::array<std::string_view, 2> typeable_tags = {"input", "textarea"};
inline constexpr std::array<std::string_view, 4> typeable_roles = {"textbox", "searchbox", "spinbutton", "combobox"};
inline constexpr std::array<std::string_view, 1> selectable_tags = {"select"};
// The tags a text next to an anchor may have.
inline constexpr std::array<std::string_view, 14> text_only_tags = {"span", "p",  "label", "h1", "h2", "h3",  "h4",
                                                                    "h5",   "h6", "li",    "td", "th", "div", "a"};
// Text further than this from a text anchor in the document tree is unrelated to it.
inline constexpr std::size_t dom_distance_threshold = 10;

enum class Direction { right, left, below, above };

struct DirectionPhrase {
  std::string_view phrase;
  Direction direction;
};

// Text next to an anchor is read on its right.
constexpr Direction direction_of(vocabulary::Place p) {
  switch (p) {
    case vocabulary::Place::left:
      return Direction::left;
    case vocabulary::Place::below:
      return Direction::below;
    case vocabulary::Place::above:
      return Direction::above;
    default:
      return Direction::right;
  }
}

// The phrases a directional target may open with: every place that names a
// side, so not near.
inline constexpr std::array<DirectionPhrase, 6> direction_phrases = vocabulary::convert_each(
    vocabulary::pick(vocabulary::place_phrases, {"next to", "right of", "left of", "below", "under", "above"}),
    [](const vocabulary::PlacePhrase& p) {
      return DirectionPhrase{p.phrase(), direction_of(p.place)};
    });

inline constexpr std::string_view direction_name(Direction d) {
  switch (d) {
    case Direction::right:
      return "right";
    case Direction::left:
      return "left";
    case Direction::below:
      return "below";
    case Direction::above:
      return "above";
  }
  return "";
}

template <std::size_t N>
bool is_one_of(const std::array<std::string_view, N>& table, std::string_view word) {
  return std::find(table.begin(), table.end(), word) != table.end();
}

}  // namespace vantor::matching
