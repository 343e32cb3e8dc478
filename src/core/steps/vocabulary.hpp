// The step reader's vocabulary: actions, keywords and the words it drops or
// counts. Fixed at build time and shared by every reader.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "vocabulary/draw.hpp"
#include "vocabulary/words.hpp"

namespace vantor::steps {

// In the order of the supported-actions list, with wait (which parse also
// produces but the list does not name) last.
enum class Action : std::uint8_t {
  click,
  type,
  hover,
  select,
  press_key,
  sendkeys,
  extract_text,
  extract_text_spatial,
  find_text,
  find_exact_text,
  verify_present,
  verify_visible,
  verify_enabled,
  verify_disabled,
  verify_text_present,
  verify_text_visible,
  verify_spatial_text,
  accept_dialog,
  dismiss_dialog,
  verify_dialog,
  wait,
};

inline constexpr std::array<std::string_view, 21> action_names = {
    "click",
    "type",
    "hover",
    "select",
    "press_key",
    "sendkeys",
    "extract_text",
    "extract_text_spatial",
    "find_text",
    "find_exact_text",
    "verify_present",
    "verify_visible",
    "verify_enabled",
    "verify_disabled",
    "verify_text_present",
    "verify_text_visible",
    "verify_spatial_text",
    "accept_dialog",
    "dismiss_dialog",
    "verify_dialog",
    "wait",
};

inline std::string_view action_name(Action a) { return action_names[static_cast<std::size_t>(a)]; }

// Every action but wait, in the order the rejection message lists them.
inline constexpr std::size_t supported_action_count = 20;

// First words that validation accepts; back and refresh have no parse rule.
inline constexpr std::array<std::string_view, 14> known_actions = {
    "click",  "type", "hover",   "select", "press",   "sendkeys", "wait",
    "verify", "find", "extract", "accept", "dismiss", "back",     "refresh",
};

struct StateSuffix {
  std::string_view suffix;
  Action action;
};

// Tested in order as endings of the lowered step. No leading space: the text
// before "is" need not end in one.
inline constexpr std::array<StateSuffix, 4> verify_states = {{
    {"is present", Action::verify_present},
    {"is visible", Action::verify_visible},
    {"is enabled", Action::verify_enabled},
    {"is disabled", Action::verify_disabled},
}};

inline constexpr std::array<StateSuffix, 2> verify_text_states = {{
    {"is present", Action::verify_text_present},
    {"is visible", Action::verify_text_visible},
}};

using OrdinalWord = vocabulary::OrdinalWord;

// The spelled ordinals up to fifth.
inline constexpr auto ordinal_words = vocabulary::select<vocabulary::ordinal_words, [](const OrdinalWord& o) {
  return !o.in_digits() && o.number >= 1 && o.number <= 5;
}>();

// A target that starts with one of these names its element by where it lies.
inline constexpr std::array<std::string_view, 7> spatial_keywords = vocabulary::convert_each(
    vocabulary::pick(vocabulary::place_phrases, {"next to", "below", "above", "left of", "right of", "under", "near"}),
    [](const vocabulary::PlacePhrase& p) { return p.spaced; });

// Filler words dropped from the front of a target.
inline constexpr std::array<std::string_view, 7> stop_words =
    vocabulary::join(vocabulary::articles, std::array<std::string_view, 4>{"in", "at", "on", "into"});

// A double-quoted phrase: what the user marks as an element's exact name.
inline constexpr std::string_view quote_pattern = R"re("([^"]+)")re";

template <typename Table>
bool contains(const Table& table, std::string_view word) {
  for (std::string_view entry : table)
    if (entry == word) return true;
  return false;
}

inline bool starts_with_any(std::string_view text, const auto& prefixes) {
  for (std::string_view p : prefixes)
    if (text.starts_with(p)) return true;
  return false;
}

// ". Supported actions: ['click', ...]", the tail of every rejection message.
const std::string& supported_actions_tail();

}  // namespace vantor::steps
