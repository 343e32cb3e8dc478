#include "spatial/resolver.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "spatial/lowered_compare.hpp"
#include "text/case.hpp"
#include "text/whitespace.hpp"

namespace vantor::spatial {
namespace {

using Indices = std::vector<std::size_t>;

Indices matching(const Entries& entries, auto&& test) {
  Indices out;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (test(i)) out.push_back(i);
  return out;
}

// The coordinates of one entry, each read when first needed and then kept:
// a relation reads only the keys it tests, as a missing key is an error only
// when it is read.
class Box {
 public:
  Box(const Entries& entries, std::size_t entry) : entries_(entries), entry_(entry) {}
  double operator[](Coordinate c) const {
    auto& slot = read_[static_cast<std::size_t>(c)];
    if (!slot) slot = entries_.coordinate(entry_, c);
    return *slot;
  }
  Span rows() const { return {(*this)[Coordinate::y], (*this)[Coordinate::y2]}; }
  Span columns() const { return {(*this)[Coordinate::x], (*this)[Coordinate::x2]}; }

 private:
  const Entries& entries_;
  std::size_t entry_;
  mutable std::array<std::optional<double>, 8> read_;
};

double centre_distance(const Box& c, const Box& a) {
  return spatial::centre_distance(c[Coordinate::cx], c[Coordinate::cy], a[Coordinate::cx], a[Coordinate::cy]);
}

bool qualifies(const Entries& e, std::size_t ci, const Box& c, std::size_t ai, const Box& a, Relation r) {
  using C = Coordinate;
  switch (r) {
    case Relation::next_to:
      return overlaps(c.rows(), a.rows()) && c[C::x] >= a[C::x2];
    case Relation::below:
      return c[C::y] >= a[C::y2] && overlaps(c.columns(), a.columns());
    case Relation::above:
      return c[C::y2] <= a[C::y] && overlaps(c.columns(), a.columns());
    case Relation::left:
      return c[C::x2] <= a[C::x] && overlaps(c.rows(), a.rows());
    case Relation::right:
      return c[C::x] >= a[C::x2] && overlaps(c.rows(), a.rows());
    case Relation::near:
      return centre_distance(c, a) <= static_cast<double>(near_max_pixels) &&
             dom_distance(e.xpath(ai), e.xpath(ci)) <= near_max_dom_steps;
  }
  return false;
}

// The sort key of the relation's ranking, smaller first.
double ranking_key(const Entries& e, std::size_t ci, const Box& c, const Box& a, Relation r) {
  using C = Coordinate;
  switch (r) {
    case Relation::next_to:
      return static_cast<double>(e.index(ci));
    case Relation::below:
      return c[C::y];
    case Relation::above:
      return -c[C::y2];
    case Relation::left:
      return -c[C::x2];
    case Relation::right:
      return c[C::x];
    case Relation::near:
      return centre_distance(c, a);
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

// Whether the normalised form of text contains needle (already normalised);
// buffer is scratch space reused across calls.
bool normalized_contains(std::string_view text, std::string_view needle, std::string& buffer) {
  normalize_into(text, buffer);
  return buffer.find(needle) != std::string::npos;
}

}  // namespace

std::optional<std::size_t> find_anchor(const Entries& entries, std::string_view anchor_text) {
  const std::string anchor_lower = text::lower(anchor_text);
  const std::size_t n = entries.size();
  // Each entry's text and anchor attributes are read once, for the whole
  // and the prefix tests alike.
  std::vector<std::string_view> texts(n);
  for (std::size_t i = 0; i < n; ++i) texts[i] = entries.text(i, false);
  Indices matches = matching(entries, [&](std::size_t i) { return lower_equals(texts[i], anchor_lower); });

  // Attributes count only for entries whose text did not match, and only
  // matter when no text matched at all.
  using Attributes = std::array<std::optional<std::string_view>, std::size(anchor_attributes)>;
  std::vector<Attributes> attributes;
  const auto read_attributes = [&] {
    attributes.resize(n);
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t a = 0; a < std::size(anchor_attributes); ++a)
        attributes[i][a] = entries.anchor_attribute(i, anchor_attributes[a]);
  };
  if (matches.empty()) {
    read_attributes();
    matches = matching(entries, [&](std::size_t i) {
      return std::ranges::any_of(attributes[i], [&](const auto& v) { return v && lower_equals(*v, anchor_lower); });
    });
  }
  if (matches.empty()) {
    const std::string prefix = anchor_lower + ' ';
    const std::string call = anchor_lower + '(';
    matches = matching(entries, [&](std::size_t i) {
      return lower_starts_with(texts[i], prefix) || lower_starts_with(texts[i], call);
    });
    if (matches.empty())
      matches = matching(entries, [&](std::size_t i) {
        return std::ranges::any_of(
            attributes[i], [&](const auto& v) { return lower_starts_with(v.value_or(std::string_view{}), prefix); });
      });
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

bool qualifies(const Entries& entries, std::size_t c, std::size_t a, Relation r) {
  return qualifies(entries, c, Box(entries, c), a, Box(entries, a), r);
}

std::vector<std::size_t> rank(const Entries& entries, const std::vector<std::size_t>& candidates, std::size_t anchor,
                              std::optional<Relation> relation, std::optional<std::int64_t> ordinal) {
  if (!relation) return {};
  struct Keyed {
    double key;
    std::size_t entry;
  };
  std::vector<Keyed> keyed;
  const Box a(entries, anchor);
  for (std::size_t c : candidates) {
    const Box box(entries, c);
    if (qualifies(entries, c, box, anchor, a, *relation))
      keyed.push_back({ranking_key(entries, c, box, a, *relation), c});
  }
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
      if (lower_stripped_equals(entries.text(i, true), s_lower)) text_matches.push_back(i);
    if (ordinal >= 0 && text_matches.size() >= static_cast<std::uint64_t>(ordinal)) {
      pool = std::move(text_matches);
    } else {
      const std::string s_norm = normalize(*search_text);
      std::string buffer;
      Indices norm_matches;
      for (std::size_t i : pool)
        if (normalized_contains(entries.searchable(i, true), s_norm, buffer)) norm_matches.push_back(i);
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
    std::string buffer;
    for (std::size_t i : pool)
      if (normalized_contains(entries.searchable(i, false), *t_norm, buffer)) named.push_back(i);
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
