#include "spatial/resolver.hpp"

#include <algorithm>
#include <string>

#include "spatial/lowered_compare.hpp"
#include "text/case.hpp"
#include "text/whitespace.hpp"

namespace vantor::spatial {
namespace {

using Indices = std::vector<std::size_t>;

// Entries that name the anchor through one of its attributes.
bool attribute_equals(const Entries& entries, std::size_t i, std::string_view anchor_lower) {
  for (AnchorAttribute which : anchor_attributes) {
    const auto value = entries.anchor_attribute(i, which);
    if (value && lower_equals(*value, anchor_lower)) return true;
  }
  return false;
}

bool attribute_starts_with(const Entries& entries, std::size_t i, std::string_view prefix) {
  for (AnchorAttribute which : anchor_attributes) {
    const auto value = entries.anchor_attribute(i, which);
    if (lower_starts_with(value.value_or(std::string_view{}), prefix)) return true;
  }
  return false;
}

Indices matching(const Entries& entries, auto&& test) {
  Indices out;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (test(i)) out.push_back(i);
  return out;
}

Span rows(const Entries& e, std::size_t i) { return {e.coordinate(i, Coordinate::y), e.coordinate(i, Coordinate::y2)}; }
Span columns(const Entries& e, std::size_t i) {
  return {e.coordinate(i, Coordinate::x), e.coordinate(i, Coordinate::x2)};
}

double centre_distance(const Entries& e, std::size_t c, std::size_t a) {
  return spatial::centre_distance(e.coordinate(c, Coordinate::cx), e.coordinate(c, Coordinate::cy),
                                  e.coordinate(a, Coordinate::cx), e.coordinate(a, Coordinate::cy));
}

// The sort key of the relation's ranking, smaller first.
double ranking_key(const Entries& e, std::size_t c, std::size_t a, Relation r) {
  switch (r) {
    case Relation::next_to:
      return static_cast<double>(e.index(c));
    case Relation::below:
      return e.coordinate(c, Coordinate::y);
    case Relation::above:
      return -e.coordinate(c, Coordinate::y2);
    case Relation::left:
      return -e.coordinate(c, Coordinate::x2);
    case Relation::right:
      return e.coordinate(c, Coordinate::x);
    case Relation::near:
      return centre_distance(e, c, a);
  }
  return 0;
}

// Entry number `ordinal` (from 1) of ranked, alone; nothing when out of range.
Indices pick(const Indices& ranked, std::int64_t ordinal) {
  if (ordinal < 1 || static_cast<std::uint64_t>(ordinal) > ranked.size()) return {};
  return {ranked[static_cast<std::size_t>(ordinal - 1)]};
}

bool of_type(const Entries& entries, std::size_t i, std::optional<std::string_view> type_filter) {
  return !type_filter || entries.element_type(i) == type_filter;
}

bool contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

}  // namespace

std::optional<std::size_t> find_anchor(const Entries& entries, std::string_view anchor_text) {
  const std::string anchor_lower = text::lower(anchor_text);
  Indices matches =
      matching(entries, [&](std::size_t i) { return lower_equals(entries.text(i, false), anchor_lower); });
  // An attribute counts only for entries whose text did not match, and only
  // matters when no text matched at all.
  if (matches.empty())
    matches = matching(entries, [&](std::size_t i) { return attribute_equals(entries, i, anchor_lower); });
  if (matches.empty()) {
    const std::string prefix = anchor_lower + ' ';
    const std::string call = anchor_lower + '(';
    matches = matching(entries, [&](std::size_t i) {
      const std::string_view text = entries.text(i, false);
      return lower_starts_with(text, prefix) || lower_starts_with(text, call);
    });
    if (matches.empty())
      matches = matching(entries, [&](std::size_t i) { return attribute_starts_with(entries, i, prefix); });
  }
  if (matches.empty()) return std::nullopt;

  Indices pool;
  for (std::size_t i : matches)
    if (!entries.is_anchor_only(i)) pool.push_back(i);
  if (pool.empty()) pool = std::move(matches);
  if (pool.size() == 1) return pool.front();

  constexpr double unknown_extent = 999;
  std::size_t best = pool.front();
  double best_area = 0;
  for (std::size_t n = 0; n < pool.size(); ++n) {
    const std::size_t i = pool[n];
    const double area =
        entries.extent(i, Coordinate::w, unknown_extent) * entries.extent(i, Coordinate::h, unknown_extent);
    if (n == 0 || area < best_area) {
      best = i;
      best_area = area;
    }
  }
  return best;
}

bool qualifies(const Entries& e, std::size_t c, std::size_t a, Relation r) {
  switch (r) {
    case Relation::next_to:
      return overlaps(rows(e, c), rows(e, a)) && e.coordinate(c, Coordinate::x) >= e.coordinate(a, Coordinate::x2);
    case Relation::below:
      return e.coordinate(c, Coordinate::y) >= e.coordinate(a, Coordinate::y2) &&
             overlaps(columns(e, c), columns(e, a));
    case Relation::above:
      return e.coordinate(c, Coordinate::y2) <= e.coordinate(a, Coordinate::y) &&
             overlaps(columns(e, c), columns(e, a));
    case Relation::left:
      return e.coordinate(c, Coordinate::x2) <= e.coordinate(a, Coordinate::x) && overlaps(rows(e, c), rows(e, a));
    case Relation::right:
      return e.coordinate(c, Coordinate::x) >= e.coordinate(a, Coordinate::x2) && overlaps(rows(e, c), rows(e, a));
    case Relation::near:
      return centre_distance(e, c, a) <= static_cast<double>(near_max_pixels) &&
             dom_distance(e.xpath(a), e.xpath(c)) <= near_max_dom_steps;
  }
  return false;
}

std::vector<std::size_t> rank(const Entries& entries, const std::vector<std::size_t>& candidates, std::size_t anchor,
                              std::optional<Relation> relation, std::optional<std::int64_t> ordinal) {
  if (!relation) return {};
  struct Keyed {
    double key;
    std::size_t entry;
  };
  std::vector<Keyed> keyed;
  for (std::size_t c : candidates)
    if (qualifies(entries, c, anchor, *relation)) keyed.push_back({ranking_key(entries, c, anchor, *relation), c});
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
  Indices ranked;
  ranked.reserve(keyed.size());
  for (const Keyed& k : keyed) ranked.push_back(k.entry);

  if (*relation == Relation::next_to) {
    // Reading order, not distance: only the first in the row unless an
    // ordinal asks for a later one.
    if (ordinal && !ranked.empty()) return pick(ranked, *ordinal);
    ranked.resize(std::min<std::size_t>(ranked.size(), 1));
  }
  if (ordinal) return pick(ranked, *ordinal);
  return ranked;
}

Resolution resolve_ordinal(const Entries& entries, std::int64_t ordinal, std::optional<std::string_view> type_filter,
                           std::optional<std::string_view> search_text) {
  Indices pool =
      matching(entries, [&](std::size_t i) { return !entries.is_anchor_only(i) && of_type(entries, i, type_filter); });
  if (search_text && !search_text->empty()) {
    const std::string s_lower = text::lower(*search_text);
    Indices text_matches;
    for (std::size_t i : pool)
      if (text::strip(text::lower(entries.text(i, true))) == s_lower) text_matches.push_back(i);
    if (ordinal >= 0 && text_matches.size() >= static_cast<std::uint64_t>(ordinal)) {
      pool = std::move(text_matches);
    } else {
      const std::string s_norm = normalize(*search_text);
      Indices norm_matches;
      for (std::size_t i : pool)
        if (contains(normalize(entries.searchable(i, true)), s_norm)) norm_matches.push_back(i);
      if (!norm_matches.empty()) pool = std::move(norm_matches);
    }
  }
  Resolution out;
  const Indices chosen = pick(pool, ordinal);
  if (chosen.empty()) return out;
  out.kind = Resolution::Kind::by_ordinal;
  out.element = chosen.front();
  out.candidates = std::move(pool);
  return out;
}

Resolution resolve(const Entries& entries, const SpatialTarget& target) {
  if (!target.has_anchor()) {
    if (!target.ordinal) return {};  // a plain element name: not a spatial target
    return resolve_ordinal(entries, *target.ordinal, target.type_filter,
                           target.search_text ? std::optional<std::string_view>(*target.search_text) : std::nullopt);
  }
  const auto anchor = find_anchor(entries, *target.anchor_text);
  if (!anchor) return {};
  const std::int64_t anchor_index = entries.index(*anchor);

  std::optional<std::string> t_norm;
  if (target.target_text && !target.target_text->empty()) t_norm = normalize(*target.target_text);
  const auto candidate_pool = [&](std::optional<std::string_view> type_filter) {
    Indices pool = matching(entries, [&](std::size_t i) {
      return entries.index(i) != anchor_index && !entries.is_anchor_only(i) && of_type(entries, i, type_filter);
    });
    if (!t_norm) return pool;
    Indices named;
    for (std::size_t i : pool)
      if (contains(normalize(entries.searchable(i, false)), *t_norm)) named.push_back(i);
    return named.empty() ? pool : named;  // the target's own words narrow, never empty
  };

  Indices candidates = candidate_pool(target.type_filter);
  if (candidates.empty()) return {};  // nothing of the type: no relaxed attempt
  Indices ranked = rank(entries, candidates, *anchor, target.relation, target.ordinal);
  bool relaxed = false;
  if (ranked.empty() && target.type_filter) {
    ranked = rank(entries, candidate_pool(std::nullopt), *anchor, target.relation, target.ordinal);
    relaxed = true;
  }
  if (ranked.empty()) return {};

  Resolution out;
  out.kind = Resolution::Kind::by_anchor;
  out.element = ranked.front();
  out.candidates = std::move(ranked);
  out.anchor = *anchor;
  out.ordinal = target.ordinal.value_or(1);
  out.type_relaxed = relaxed;
  out.type_filter = target.type_filter;
  return out;
}

}  // namespace vantor::spatial
