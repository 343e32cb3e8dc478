// The words of the role matcher's rules: what decided, as a tester reads it
// in a report ("button named exactly 'search'", "the 2nd link named exactly
// 'edit'", "checkbox in the row of 'chef knife'").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "roles/rank.hpp"
#include "roles/target.hpp"

namespace vantor::roles {

inline constexpr std::string_view left_to_others = "left to text matching and spatial";

struct RuleParts {
  const Named& what;
  bool role_kept = false;  // the role word constrained the role
  bool text = false;       // a text shown, not an element named
  const Named* row = nullptr;
};

// "button named exactly 'search'"; ordinal 1 unless counted, `rivals` the
// number of equally good candidates when the first in reading order was taken.
std::string describe(const RuleParts& parts, Rank rank, int ordinal, std::size_t rivals);
std::string describe_missing(const RuleParts& parts);
std::string describe_too_few(const RuleParts& parts, int ordinal, std::size_t found);
// "button 'search'", "text 'paid'": a name and its role, without a rank.
std::string describe_named(const Named& named, bool role_kept);

// "1st", "2nd", "11th"; "last" for last_ordinal.
std::string ordinal_text(int ordinal);

// How sure the rule is: exact names most, attribute words least.
double confidence_of(Rank rank);

}  // namespace vantor::roles
