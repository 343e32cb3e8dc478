#include "scan/tables.hpp"

namespace vantor::scan {
namespace {

void append_item(std::string& list, std::string_view item) {
  if (!list.empty()) list += ", ";
  list += item;
}

}  // namespace

const std::string& interactable_selector() {
  static const std::string selector = [] {
    std::string s;
    for (std::string_view tag : native_tags) append_item(s, tag);
    for (std::string_view role : aria_roles) append_item(s, "[role=\"" + std::string(role) + "\"]");
    for (std::string_view rest : {"img[alt]", "img[data-testid]", "[data-testid]"}) append_item(s, rest);
    return s;
  }();
  return selector;
}

const std::string& text_selector() {
  static const std::string selector = [] {
    std::string s;
    for (std::string_view tag : text_tags) append_item(s, tag);
    return s;
  }();
  return selector;
}

}  // namespace vantor::scan
