// What the role matcher knows of one element of the page: the scanner's
// descriptor joined with its page facts (role, accessible name, states, table
// context). The binding builds these; the rules only read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantor::roles {

// Which of the caller's two lists the descriptor came from.
enum class List : std::uint8_t { elements, texts };

struct Box {
  double x = 0, y = 0, width = 0, height = 0;
  bool known = false;

  bool contains(const Box& other) const {
    return known && other.known && other.x >= x && other.y >= y && other.x + other.width <= x + width &&
           other.y + other.height <= y + height;
  }
};

struct Candidate {
  List list = List::elements;
  std::size_t index = 0;  // position in its list

  std::string xpath;  // where it is; the same element in both lists has one
  // Lower case, as the page gives them.
  std::string tag, role, type;
  // Texts as shown (any Unicode compatibility forms already folded by the
  // caller); the rules fold case, quotes, dashes and spaces themselves.
  std::string name;   // the accessible name
  std::string label;  // the text of its labels, even when another source named it
  std::string text;   // the descriptor's text: what it shows
  std::string placeholder, title, alt, testid;
  std::string value;  // the value it shows, for fields
  bool has_value = false;
  // Words that name an element only when nothing else does: its type, id,
  // class and data- attribute values, joined by spaces.
  std::string fallback_words;

  bool visible = false, enabled = false, editable = false;
  Box box;
  int table = -1, row = -1;  // -1: not in a table
};

}  // namespace vantor::roles
