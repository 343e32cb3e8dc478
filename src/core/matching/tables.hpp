// The fixed word and tag tables of text matching.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace vantor::matching {

// Element-type words a target may carry ("login button"), all lower case.
inline constexpr std::array<std::string_view, 18> type_descriptors = {
    "input", "field",    "button",  "btn",  "box",  "link",    "dropdown", "select", "checkbox",
    "radio", "textarea", "textbox", "area", "icon", "control", "widget",   "form",   "element"};

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

// The phrases a directional target may open with.
inline constexpr std::array<DirectionPhrase, 6> direction_phrases = {{{"next to", Direction::right},
                                                                      {"right of", Direction::right},
                                                                      {"left of", Direction::left},
                                                                      {"below", Direction::below},
                                                                      {"under", Direction::below},
                                                                      {"above", Direction::above}}};

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

// Articles taken off the front of an anchor, in this order.
inline constexpr std::array<std::string_view, 3> anchor_articles = {"the ", "a ", "an "};

template <std::size_t N>
bool is_one_of(const std::array<std::string_view, N>& table, std::string_view word) {
  return std::find(table.begin(), table.end(), word) != table.end();
}

}  // namespace vantor::matching
