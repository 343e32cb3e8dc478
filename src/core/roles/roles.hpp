// Roles as sets, the words people use for them, and the role an element has
// by its tag when the page said nothing of it.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantor::roles {

using RoleSet = std::uint32_t;

namespace role {
inline constexpr RoleSet button = 1u << 0, link = 1u << 1, checkbox = 1u << 2, radio = 1u << 3, switch_ = 1u << 4,
                         tab = 1u << 5, textbox = 1u << 6, searchbox = 1u << 7, spinbutton = 1u << 8,
                         combobox = 1u << 9, listbox = 1u << 10, option = 1u << 11, menu = 1u << 12,
                         menuitem = 1u << 13, slider = 1u << 14, heading = 1u << 15, img = 1u << 16, row = 1u << 17,
                         columnheader = 1u << 18, rowheader = 1u << 19, cell = 1u << 20, other = 1u << 31;
// What can be typed into.
inline constexpr RoleSet text_entry = textbox | searchbox | spinbutton | combobox;
// What offers choices to select from.
inline constexpr RoleSet choices = combobox | listbox;
// What is clicked and checked by its label.
inline constexpr RoleSet toggles = checkbox | radio | switch_;
}  // namespace role

// The set holding a role name ("button", "menuitemcheckbox"…); role::other
// for a role the rules give no word to, 0 for "".
RoleSet role_named(std::string_view name);

// The role of an element by its tag and type, for an element without facts.
RoleSet implicit_role(std::string_view tag, std::string_view type);

// A role word or phrase of a target and the roles it means.
struct RoleWord {
  std::string_view words;  // folded, single spaces
  RoleSet roles;
  std::string_view said;  // how a rule names the role
};

// Longer phrases first, so that "radio button" is read before "button".
const RoleWord* role_word_at_end(std::string_view folded_target);
const RoleWord* role_word_at_start(std::string_view folded_target);

// The word a rule uses for a role set: "button", "field"…
std::string_view role_said(RoleSet roles);

}  // namespace vantor::roles
