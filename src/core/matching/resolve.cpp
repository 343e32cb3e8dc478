// TextMatcher.resolve: which resolver answers an instruction.
#include "matching/field_rules.hpp"
#include "matching/resolution.hpp"

namespace vantor::matching {
namespace {

// "action" and "target" are str, or null, or absent (read as ""). Null is
// refused wherever the text is used, which is everywhere.
std::string_view instruction_text(const Field& f, const char* key) {
  if (f.kind == Kind::missing) return {};
  if (!f.is_text())
    raise_field_type(std::string("parsed_instruction['") + key + "']", f.kind == Kind::null ? "str" : "str or None", f);
  return f.text;
}

}  // namespace

Resolution resolve(const Instruction& instruction, DescriptorList& dom_elements, DescriptorList& text_elements) {
  const std::string_view action = instruction_text(instruction.action, "action");
  const std::string_view target = instruction_text(instruction.target, "target");
  if (action == "verify_spatial_text") {
    const Field& value = instruction.value;
    std::string_view expected;
    if (value.kind != Kind::missing) {
      if (!value.is_text()) raise_field_type("parsed_instruction['value']", "str", value);
      expected = value.text;
    }
    return resolve_verify_spatial_text(target, expected, text_elements, &dom_elements);
  }
  if (action == "extract_text_spatial") return resolve_extract_spatial_text(target, text_elements, &dom_elements);
  if (action == "find_text") return resolve_find_text(target, text_elements);
  if (action == "find_exact_text") return resolve_find_exact_text(target, text_elements);
  if (action == "verify_present" || action == "verify_visible" || action == "verify_enabled" ||
      action == "verify_disabled")
    return resolve_verify(action, target, dom_elements);
  if (action == "verify_text_present" || action == "verify_text_visible")
    return resolve_verify_text(action, target, text_elements);
  return resolve_element(action, target, instruction.ordinal, dom_elements, text_elements);
}

}  // namespace vantor::matching
