// The fixed tables of the page scan: which elements each source queries and
// which attributes a descriptor captures.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vantor::scan {

// The tags of the native controls.
inline constexpr std::array<std::string_view, 5> native_tags = {"button", "input", "a", "select", "textarea"};

// The roles that make any element a control.
inline constexpr std::array<std::string_view, 13> aria_roles = {
    "button",   "link",      "textbox",    "checkbox", "menuitem", "menuitemcheckbox", "menuitemradio", "option",
    "combobox", "searchbox", "spinbutton", "switch",   "tab"};

// Captured into every native element and custom input descriptor, in this order.
inline constexpr std::array<std::string_view, 13> captured_attributes = {
    "id",   "name",  "type",  "placeholder", "aria-label", "aria-labelledby", "title", "role",
    "href", "value", "class", "data-testid", "alt"};

// The attributes of a text element descriptor, in this order.
inline constexpr std::array<std::string_view, 4> text_attributes = {"id", "class", "href", "aria-label"};

// The tags that can hold readable text.
inline constexpr std::array<std::string_view, 15> text_tags = {"h1",    "h2", "h3", "h4", "h5", "h6",     "p",  "span",
                                                               "label", "li", "td", "th", "a",  "button", "div"};

inline constexpr std::string_view custom_input_selector =
    "span[class*='editable'], div[class*='editable'], span[class*='input'], div[class*='input']";

// The elements whose short text can label what lies below them.
inline constexpr std::string_view label_candidate_selector = "h1, h2, h3, h4, h5, h6, label, div, span, p";

// The native tags, one attribute selector per role, then images and test ids.
const std::string& interactable_selector();
// The text tags joined with ", ".
const std::string& text_selector();

}  // namespace vantor::scan
