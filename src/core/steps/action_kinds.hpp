// What each action is: the one table a runner dispatches a parsed step from.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "steps/vocabulary.hpp"

namespace vantor::steps {

enum class ActionKind : std::uint8_t {
  element,     // acts on (or reads) one element that a strategy resolves
  check,       // a state of an element that holds or not
  text_check,  // a state of a text on the page that holds or not
  look_up,     // finds a text, or the text beside an anchor, without acting
  browser,     // done by the browser alone: keys, pauses
  dialog,      // answers or checks the page's next or last dialog
};

inline constexpr std::array<std::string_view, 6> action_kind_names = {
    "element", "check", "text_check", "look_up", "browser", "dialog",
};

struct ActionTraits {
  ActionKind kind;
  bool needs_enabled;  // a disabled element cannot take it, even when visible
};

// Indexed by Action, so that every action has exactly one entry.
inline constexpr std::array<ActionTraits, action_names.size()> action_traits = {{
    {ActionKind::element, true},      // click
    {ActionKind::element, true},      // type
    {ActionKind::element, false},     // hover
    {ActionKind::element, true},      // select
    {ActionKind::browser, false},     // press_key
    {ActionKind::browser, false},     // sendkeys
    {ActionKind::element, false},     // extract_text
    {ActionKind::look_up, false},     // extract_text_spatial
    {ActionKind::look_up, false},     // find_text
    {ActionKind::look_up, false},     // find_exact_text
    {ActionKind::check, false},       // verify_present
    {ActionKind::check, false},       // verify_visible
    {ActionKind::check, false},       // verify_enabled
    {ActionKind::check, false},       // verify_disabled
    {ActionKind::text_check, false},  // verify_text_present
    {ActionKind::text_check, false},  // verify_text_visible
    {ActionKind::text_check, false},  // verify_spatial_text
    {ActionKind::dialog, false},      // accept_dialog
    {ActionKind::dialog, false},      // dismiss_dialog
    {ActionKind::dialog, false},      // verify_dialog
    {ActionKind::browser, false},     // wait
}};

constexpr ActionTraits traits_of(Action a) { return action_traits[static_cast<std::size_t>(a)]; }
constexpr std::string_view kind_name(ActionKind k) { return action_kind_names[static_cast<std::size_t>(k)]; }

}  // namespace vantor::steps
