#include "roles/roles.hpp"

#include <array>
#include <utility>

namespace vantor::roles {
namespace {

constexpr std::array<std::pair<std::string_view, RoleSet>, 27> role_names = {{
    {"button", role::button},
    {"link", role::link},
    {"checkbox", role::checkbox},
    {"menuitemcheckbox", role::checkbox | role::menuitem},
    {"radio", role::radio},
    {"menuitemradio", role::radio | role::menuitem},
    {"switch", role::switch_},
    {"tab", role::tab},
    {"textbox", role::textbox},
    {"searchbox", role::searchbox},
    {"spinbutton", role::spinbutton},
    {"combobox", role::combobox},
    {"listbox", role::listbox},
    {"option", role::option},
    {"menu", role::menu},
    {"menubar", role::menu},
    {"menuitem", role::menuitem},
    {"slider", role::slider},
    {"heading", role::heading},
    {"img", role::img},
    {"image", role::img},
    {"row", role::row},
    {"columnheader", role::columnheader},
    {"rowheader", role::rowheader},
    {"cell", role::cell},
    {"gridcell", role::cell},
    {"treeitem", role::option},
}};

constexpr RoleSet text_words = role::text_entry;
constexpr RoleSet menu_words = role::menu | role::menuitem | role::button;

// Longest first within each ending; the first that fits is taken.
constexpr std::array<RoleWord, 36> role_words = {{
    {"radio button", role::radio, "radio button"},
    {"check box", role::checkbox, "checkbox"},
    {"toggle switch", role::switch_ | role::checkbox, "switch"},
    {"text field", text_words, "field"},
    {"text box", text_words, "field"},
    {"text area", text_words, "field"},
    {"input field", text_words, "field"},
    {"search field", role::searchbox | text_words, "field"},
    {"search box", role::searchbox | text_words, "field"},
    {"combo box", role::choices, "dropdown"},
    {"select box", role::choices, "dropdown"},
    {"list box", role::choices, "dropdown"},
    {"drop down", role::choices, "dropdown"},
    {"menu item", role::menuitem, "menu item"},
    {"column header", role::columnheader, "column header"},
    {"checkbox", role::checkbox, "checkbox"},
    {"radio", role::radio, "radio button"},
    {"switch", role::switch_, "switch"},
    {"toggle", role::switch_ | role::checkbox, "switch"},
    {"button", role::button, "button"},
    {"link", role::link, "link"},
    {"tab", role::tab, "tab"},
    {"textbox", text_words, "field"},
    {"textarea", text_words, "field"},
    {"field", text_words, "field"},
    {"input", text_words, "field"},
    {"box", text_words | role::checkbox, "box"},
    {"dropdown", role::choices, "dropdown"},
    {"drop-down", role::choices, "dropdown"},
    {"select", role::choices, "dropdown"},
    {"combobox", role::choices, "dropdown"},
    {"listbox", role::choices, "dropdown"},
    {"list", role::choices, "dropdown"},
    {"option", role::option, "option"},
    {"menu", menu_words, "menu"},
    {"slider", role::slider, "slider"},
}};

// Words kept apart from the table above only to keep its length readable.
constexpr std::array<RoleWord, 6> more_role_words = {{
    {"heading", role::heading, "heading"},
    {"image", role::img, "image"},
    {"row", role::row, "row"},
    {"header", role::columnheader, "column header"},
    {"column", role::columnheader, "column header"},
    {"cell", role::cell, "cell"},
}};

bool ends_with_word(std::string_view s, std::string_view w) {
  return s.size() >= w.size() && s.substr(s.size() - w.size()) == w &&
         (s.size() == w.size() || s[s.size() - w.size() - 1] == ' ');
}

bool starts_with_word(std::string_view s, std::string_view w) {
  return s.size() >= w.size() && s.substr(0, w.size()) == w && (s.size() == w.size() || s[w.size()] == ' ');
}

template <typename Fits>
const RoleWord* first_fitting(Fits fits) {
  // Two-word phrases of both tables before one-word ones.
  for (int pass = 0; pass < 2; ++pass) {
    const bool phrases = pass == 0;
    for (const auto* table : {&role_words[0], &more_role_words[0]}) {
      const std::size_t n = table == &role_words[0] ? role_words.size() : more_role_words.size();
      for (std::size_t i = 0; i < n; ++i) {
        const RoleWord& w = table[i];
        if ((w.words.find(' ') != std::string_view::npos) == phrases && fits(w.words)) return &w;
      }
    }
  }
  return nullptr;
}

}  // namespace

RoleSet role_named(std::string_view name) {
  if (name.empty()) return 0;
  for (const auto& [n, set] : role_names)
    if (n == name) return set;
  return role::other;
}

RoleSet implicit_role(std::string_view tag, std::string_view type) {
  if (tag == "a") return role::link;
  if (tag == "button" || tag == "summary") return role::button;
  if (tag == "select") return role::combobox;
  if (tag == "textarea") return role::textbox;
  if (tag == "option") return role::option;
  if (tag == "img") return role::img;
  if (tag == "th") return role::columnheader;
  if (tag == "td") return role::cell;
  if (tag == "tr") return role::row;
  if (tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6') return role::heading;
  if (tag != "input") return 0;
  if (type == "button" || type == "submit" || type == "reset" || type == "image") return role::button;
  if (type == "checkbox") return role::checkbox;
  if (type == "radio") return role::radio;
  if (type == "range") return role::slider;
  if (type == "number") return role::spinbutton;
  if (type == "search") return role::searchbox;
  if (type == "hidden" || type == "file" || type == "color") return 0;
  return role::textbox;
}

const RoleWord* role_word_at_end(std::string_view folded_target) {
  return first_fitting([&](std::string_view w) { return ends_with_word(folded_target, w); });
}

const RoleWord* role_word_at_start(std::string_view folded_target) {
  return first_fitting([&](std::string_view w) { return starts_with_word(folded_target, w); });
}

std::string_view role_said(RoleSet roles) {
  for (const RoleWord& w : role_words)
    if (w.roles == roles) return w.said;
  for (const RoleWord& w : more_role_words)
    if (w.roles == roles) return w.said;
  for (const auto& [n, set] : role_names)
    if (set == roles) return n;
  return "element";
}

}  // namespace vantor::roles
