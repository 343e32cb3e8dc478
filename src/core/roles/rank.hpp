// How well an element answers to a name: the tier of the best match (exact,
// starts with the name's words, has them as whole words, contains them) and
// where the match was found (its accessible name or visible text, a label,
// placeholder / title / alt / test id, or attribute words). No fuzzy scoring:
// every comparison is verbatim on folded text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "roles/candidate.hpp"

namespace vantor::roles {

enum class Tier : std::uint8_t { exact, starts, words, contains, none };
enum class Source : std::uint8_t { name, label, attribute, fallback };

struct Rank {
  Tier tier = Tier::none;
  Source source = Source::fallback;

  bool matched() const { return tier != Tier::none; }
  bool operator==(const Rank&) const = default;
  // Better ranks first: the tier decides, then the source.
  bool operator<(const Rank& other) const { return tier != other.tier ? tier < other.tier : source < other.source; }
};

// Tier of a folded surface against a folded name; "" names everything exactly.
Tier tier_of(std::string_view surface, std::string_view name);

// The texts of a candidate the rules compare, folded once per call.
struct Surfaces {
  std::string name, text, label, value, placeholder, title, alt, testid, fallback;
  bool field = false;  // text entries, selects, sliders: what they show is no name
  bool has_value = false;
};

Surfaces surfaces_of(const Candidate& c, std::uint32_t roles);

// What a step reads of an element: the names an element answers to, or the
// text it shows (visible text and the value a field shows).
enum class Reading : std::uint8_t { element, text };

// The best rank of the candidate for the name; attribute words only when
// `with_fallback`.
Rank rank_of(const Surfaces& s, std::string_view name, Reading reading, bool with_fallback);

}  // namespace vantor::roles
