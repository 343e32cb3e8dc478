#include "matching/field_rules.hpp"

#include "errors.hpp"

namespace vantor::matching {

std::string field_path(const DescriptorList& list, std::size_t i, std::string_view key) {
  std::string path = list.where(i);
  path += "['";
  path += key;
  path += "']";
  return path;
}

void raise_field_type(std::string_view where, std::string_view expected, const Field& f) {
  std::string message(where);
  message += " must be ";
  message += expected;
  message += ", not ";
  message += f.type();
  throw TypeError(message);
}

std::string_view required_text(const DescriptorList& list, std::size_t i, const Field& text) {
  if (text.kind == Kind::missing) return {};
  if (!text.is_text()) raise_field_type(field_path(list, i, "text"), "str", text);
  return text.text;
}

bool box_record(const DescriptorList& list, std::size_t i, const Descriptor& d) {
  if (!d.bounding_box.truthy) return false;
  if (!d.bounding_box.is_record()) raise_field_type(field_path(list, i, "bounding_box"), "dict", d.bounding_box);
  return true;
}

double coordinate_or_zero(const DescriptorList& list, std::size_t i, const Field& f, std::string_view key) {
  if (f.kind == Kind::missing) return 0;
  return coordinate(list, i, f, key);
}

double coordinate(const DescriptorList& list, std::size_t i, const Field& f, std::string_view key) {
  if (f.kind == Kind::missing) throw KeyError(std::string(key));
  if (!f.is_number())
    raise_field_type(field_path(list, i, "bounding_box") + "['" + std::string(key) + "']", "a number", f);
  return f.number;
}

}  // namespace vantor::matching
