// The answer of the text-matching strategy, in terms of positions in the
// caller's lists; the bindings turn it into the resolution result record.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "matching/descriptor.hpp"

namespace vantor::matching {

enum class Source : unsigned char { dom, text };

// A descriptor of one of the two lists.
struct Ref {
  Source list;
  std::size_t index;
  bool operator==(const Ref&) const = default;
};

// The key set of the result: element resolution and text look-up; checks
// (element, text and directional); directional extraction.
enum class Family : unsigned char { element, check, extraction };

// What "verified" holds: a new bool, or the chosen element's own
// is_visible / is_enabled value (false when it has none).
enum class Verified : unsigned char { no, yes, element_visible, element_enabled };

// The keys of "state": none; "present", "visible", "enabled" of the element;
// "present", "visible" of the text element; "expected"; "expected", "actual".
enum class State : unsigned char { empty, element, text_element, expected, expected_actual };

struct Resolution {
  Family family = Family::element;
  bool resolved = false;
  Verified verified = Verified::no;
  std::optional<Ref> element;
  State state = State::empty;
  std::string actual;     // State::expected_actual
  std::string extracted;  // Family::extraction
  std::vector<Ref> candidates;
};

// The four keys of the parsed instruction that resolution reads.
struct Instruction {
  Field action, target, value, ordinal;
};

// The element checks and text checks, and what each one reads.
enum class Check : unsigned char { present, visible, enabled, disabled };

// TextMatcher.resolve: dispatch by action to the resolvers below.
Resolution resolve(const Instruction& instruction, DescriptorList& dom_elements, DescriptorList& text_elements);

// Any other action: the element its target names, by text and attributes.
Resolution resolve_element(std::string_view action, std::string_view target, const Field& ordinal,
                           DescriptorList& dom_elements, DescriptorList& text_elements);

// Throw KeyError for an action that is not one of their checks.
Resolution resolve_verify(std::string_view action, std::string_view target, DescriptorList& dom_elements);
Resolution resolve_verify_text(std::string_view action, std::string_view target, DescriptorList& text_elements);

Resolution resolve_find_text(std::string_view target, DescriptorList& text_elements);
Resolution resolve_find_exact_text(std::string_view target, DescriptorList& text_elements);

// dom_elements may be null: no element descriptors to find an anchor among.
Resolution resolve_verify_spatial_text(std::string_view target, std::string_view expected,
                                       DescriptorList& text_elements, DescriptorList* dom_elements);
Resolution resolve_extract_spatial_text(std::string_view target, DescriptorList& text_elements,
                                        DescriptorList* dom_elements);

// The comparison form of a text: lower-cased, without $, £, € and commas, trimmed.
std::string norm(std::string_view v);

}  // namespace vantor::matching
