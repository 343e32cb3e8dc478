// How the role matcher reads a step's target: the role its words name, the
// name left once the role words are off, an ordinal, and a row key ("the
// checkbox next to Chef Knife"). The name stays verbatim after folding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "roles/roles.hpp"
#include "vocabulary/words.hpp"

namespace vantor::roles {

// A name, and the role that constrains it (0: any role).
struct Named {
  std::string name;  // folded; "" names every element of the role
  RoleSet roles = 0;
  std::string_view said;  // how a rule names the role ("button"); "" without one
  std::string whole;      // the folded words, role words included, for a role word that was a name after all
};

enum class Direction : std::uint8_t { below, above, left, right, near };

struct Target {
  Named what;
  // The whole target read as one name, row phrase included: "Search for
  // products" may be a button's name after all.
  Named plain;
  int ordinal = 1;       // counted in reading order; last_ordinal for "last"
  bool counted = false;  // an ordinal was given
  // "X next to Y", "X in the row of Y", "X for Y": the element X sharing a
  // row (or the nearest container) with what Y names.
  bool has_row = false;
  Named row;
  // Another spatial phrase (below, right of…): the spatial rules decide
  // first; `anchor` is what the phrase places the element against.
  bool spatial = false;
  Direction direction = Direction::near;
  Named anchor;
};

inline constexpr int last_ordinal = vocabulary::last_ordinal;

// `parsed_ordinal` is the step reader's (1 when it found none); `literal` a
// target the step quoted, which names exactly and holds no role words.
Target read_target(std::string_view target, bool literal, int parsed_ordinal);

// A name as a target gives it: role words off its end or start.
Named read_named(std::string_view folded_words);

}  // namespace vantor::roles
