// The role matcher: the element a step names by role and accessible name, the
// way assistive technology names it. It answers element actions, element and
// text checks and text look-ups; every other step, and targets placed by a
// spatial phrase, it leaves to text matching and the spatial resolver.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "roles/candidate.hpp"

namespace vantor::roles {

struct Request {
  std::string_view action, target;
  bool literal = false;  // the step quoted its target
  int ordinal = 1;       // the step reader's
};

// The key set of the result: an element (actions and look-ups) or a check.
enum class Family : std::uint8_t { element, check };

// The keys of a check's "state": "present", "visible", "enabled" of an
// element; "present", "visible" of a text.
enum class StateKeys : std::uint8_t { none, element, text };

struct Outcome {
  Family family = Family::element;
  bool resolved = false;
  bool verified = false;
  bool ambiguous = false;
  double confidence = 0;
  StateKeys state = StateKeys::none;
  std::optional<std::size_t> element;   // position in the candidates given
  std::vector<std::size_t> candidates;  // the chosen first, then the rivals it was weighed against
  std::string rule;
};

Outcome resolve(const Request& request, std::span<const Candidate> candidates);

// For a target placed by a spatial phrase ("the button below Email"), asked
// once text matching and spatial found nothing: the element of the role and
// name nearest to the anchor in that direction. Any other target: unresolved.
Outcome resolve_placed(const Request& request, std::span<const Candidate> candidates);

}  // namespace vantor::roles
