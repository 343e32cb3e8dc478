// The rules that turn page descriptors into matrix entries: the element type
// of an interactable element, its search text, and the reading order.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::spatial {

struct TagType {
  std::string_view tag;
  std::string_view type;
};

inline constexpr std::array<TagType, 5> tag_to_type = {{
    {"a", "link"},
    {"button", "button"},
    {"input", "input"},
    {"select", "select"},
    {"textarea", "input"},
}};

// The only roles that decide an element's type.
inline constexpr std::array<std::string_view, 4> typed_roles = {"button", "link", "textbox", "combobox"};

inline constexpr std::string_view text_type = "text";

// The fixed type names element_type answers with, besides a tag of its own.
inline constexpr std::array<std::string_view, 6> element_type_names = {"link",   "button",  "input",
                                                                       "select", "textbox", "combobox"};

// The element type of an interactable element. tag, role and input_type are
// none when the descriptor lacks them or holds something other than text.
// The answer is either a fixed type name or, for an unlisted tag, the tag
// itself (tag_itself); with no tag that is none.
struct ElementType {
  std::optional<std::string_view> type;
  bool tag_itself = false;
};
// input_type() is asked only when the type attribute decides: for an input
// without one of the four roles.
template <std::invocable ReadInputType>
ElementType element_type(std::optional<std::string_view> tag, std::optional<std::string_view> role,
                         ReadInputType&& input_type) {
  if (role)
    for (std::string_view r : typed_roles)
      if (*role == r) return {r};
  if (tag == "input") {
    const std::optional<std::string_view> type = input_type();
    if (type == "submit" || type == "button" || type == "reset") return {"button"};
  }
  if (tag)
    for (const TagType& t : tag_to_type)
      if (*tag == t.tag) return {t.type};
  return {tag, true};
}

inline ElementType element_type(std::optional<std::string_view> tag, std::optional<std::string_view> role,
                                std::optional<std::string_view> input_type) {
  return element_type(tag, role, [&] { return input_type; });
}

// The text an interactable element is searched under: its non-empty parts
// (text, then the label, aria-label, placeholder and name attributes) joined
// by blanks and trimmed. Parts that are only blanks still count as parts.
std::string searchable(std::span<const std::string_view> parts);

// True when trimming would leave text as it is: a lone part is then its own
// search text.
bool trimmed_already(std::string_view text);

// A sort key of an entry: its top-left corner.
struct Corner {
  double y, x;
};

// Positions of the entries in reading order: top edge, then left edge, ties
// kept in the given order. No row tolerance: one pixel lower is a later row.
std::vector<std::size_t> reading_order(std::span<const Corner> corners);

}  // namespace vantor::spatial

namespace vantor::spatial {

// For entries in matrix order: the 1-based rank of each among the entries of
// its element type (none, an element type of its own, included).
std::vector<std::int64_t> order_in_type(std::span<const std::optional<std::string_view>> types);

}  // namespace vantor::spatial
