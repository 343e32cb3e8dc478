// Spatial resolution over a matrix: the anchor an anchor phrase names, the
// candidates a relation admits and their ranking, and targets named by
// ordinal alone. Entries are referred to by their position in the Entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "spatial/entries.hpp"
#include "spatial/target_grammar.hpp"

namespace vantor::spatial {

// The anchor entry for a phrase: exact text over an attribute over a text
// prefix; interactable over text-only; then the smallest box; then the first.
std::optional<std::size_t> find_anchor(const Entries& entries, std::string_view anchor_text);

// Whether candidate c stands in relation r to anchor a.
bool qualifies(const Entries& entries, std::size_t c, std::size_t a, Relation r);

// The candidates that stand in the relation to the anchor, best first; with
// an ordinal, only the candidate of that rank (none when there are fewer).
// "next to" keeps only its first candidate in reading order.
std::vector<std::size_t> rank(const Entries& entries, const std::vector<std::size_t>& candidates, std::size_t anchor,
                              std::optional<Relation> relation, std::optional<std::int64_t> ordinal);

struct Resolution {
  enum class Kind { unresolved, by_ordinal, by_anchor };
  Kind kind = Kind::unresolved;
  std::size_t element = 0;  // the chosen entry
  std::vector<std::size_t> candidates;
  // by_anchor only:
  std::size_t anchor = 0;
  std::int64_t ordinal = 1;
  bool type_relaxed = false;
  std::optional<std::string_view> type_filter;  // as parsed
};

// The entry named by ordinal alone, among entries of the type, narrowed by
// search text when that leaves enough.
Resolution resolve_ordinal(const Entries& entries, std::int64_t ordinal, std::optional<std::string_view> type_filter,
                           std::optional<std::string_view> search_text);

// The whole resolution of one parsed target.
Resolution resolve(const Entries& entries, const SpatialTarget& target);

}  // namespace vantor::spatial
