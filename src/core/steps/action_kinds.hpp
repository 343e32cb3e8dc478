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
  Action action;
  ActionKind kind;
  bool needs_enabled;  // a disabled element cannot take it, even when visible
};

// Indexed by Action: every action has exactly one entry, in its place.
inline constexpr std::array<ActionTraits, action_names.size()> action_traits = {{
    {Action::click, ActionKind::element, true},
    {Action::type, ActionKind::element, true},
    {Action::hover, ActionKind::element, false},
    {Action::select, ActionKind::element, true},
    {Action::press_key, ActionKind::browser, false},
    {Action::sendkeys, ActionKind::browser, false},
    {Action::extract_text, ActionKind::element, false},
    {Action::extract_text_spatial, ActionKind::look_up, false},
    {Action::find_text, ActionKind::look_up, false},
    {Action::find_exact_text, ActionKind::look_up, false},
    {Action::verify_present, ActionKind::check, false},
    {Action::verify_visible, ActionKind::check, false},
    {Action::verify_enabled, ActionKind::check, false},
    {Action::verify_disabled, ActionKind::check, false},
    {Action::verify_text_present, ActionKind::text_check, false},
    {Action::verify_text_visible, ActionKind::text_check, false},
    {Action::verify_spatial_text, ActionKind::text_check, false},
    {Action::accept_dialog, ActionKind::dialog, false},
    {Action::dismiss_dialog, ActionKind::dialog, false},
    {Action::verify_dialog, ActionKind::dialog, false},
    {Action::wait, ActionKind::browser, false},
}};

constexpr bool in_action_order() {
  for (std::size_t i = 0; i < action_traits.size(); ++i)
    if (action_traits[i].action != static_cast<Action>(i)) return false;
  return true;
}
static_assert(in_action_order(), "one entry per action, in the order of the Action enum");

constexpr ActionTraits traits_of(Action a) { return action_traits[static_cast<std::size_t>(a)]; }
constexpr std::string_view kind_name(ActionKind k) { return action_kind_names[static_cast<std::size_t>(k)]; }

}  // namespace vantor::steps
