// Element resolution: the candidate pool of an action's target, visible
// elements first, exact matches over contains matches, and the ordinal.
#include <algorithm>
#include <cmath>

#include "matching/action_filter.hpp"
#include "matching/field_rules.hpp"
#include "matching/resolution.hpp"
#include "matching/surfaces.hpp"

namespace vantor::matching {
namespace {

struct Keyed {
  Ref ref;
  double first, second;
};

DescriptorList& list_of(Ref r, DescriptorList& dom, DescriptorList& text) { return r.list == Source::dom ? dom : text; }

// The ordinal as a number: 1 when absent; an int (or bool) otherwise.
double ordinal_number(const Field& ordinal) {
  if (ordinal.kind == Kind::missing) return 1;
  if (ordinal.kind != Kind::integer && ordinal.kind != Kind::boolean)
    raise_field_type("parsed_instruction['ordinal']", "int", ordinal);
  return ordinal.number;
}

// Sorts the pool in place, stably: by (y, x) of the box for ordinals from 1
// up, by text length (shortest first) otherwise.
void sort_pool(std::vector<Ref>& pool, bool reading_order, DescriptorList& dom, DescriptorList& text) {
  std::vector<Keyed> keyed;
  keyed.reserve(pool.size());
  Descriptor d;
  for (Ref r : pool) {
    DescriptorList& list = list_of(r, dom, text);
    Keyed k{r, 0, 0};
    if (reading_order) {
      list.read(r.index, need::coordinates, d);
      if (box_record(list, r.index, d)) {
        k.first = coordinate_or_zero(list, r.index, d.y, "y");
        k.second = coordinate_or_zero(list, r.index, d.x, "x");
      }
    } else {
      list.read(r.index, need::text, d);
      k.first = static_cast<double>(char_count(d.text.text_or_empty()));
    }
    keyed.push_back(k);
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (number_less(a.first, b.first)) return true;
    if (number_less(b.first, a.first)) return false;
    return number_less(a.second, b.second);
  });
  for (std::size_t i = 0; i < pool.size(); ++i) pool[i] = keyed[i].ref;
}

// The pool position an ordinal picks: the last entry for an ordinal past the
// end, counted from the end for ordinals of 0 and below, and the first entry
// when that count would reach before the start.
std::size_t ordinal_index(double ordinal, std::size_t size) {
  double index = std::min(ordinal - 1, static_cast<double>(size) - 1);
  if (index < 0) index += static_cast<double>(size);
  if (!(index >= 0)) index = 0;
  return static_cast<std::size_t>(index);
}

}  // namespace

Resolution resolve_element(std::string_view action, std::string_view target, const Field& ordinal,
                           DescriptorList& dom_elements, DescriptorList& text_elements) {
  const std::optional<std::vector<std::size_t>> eligible = filter_by_action(action, dom_elements);
  const std::size_t eligible_count = eligible ? eligible->size() : dom_elements.size();
  const auto position = [&](std::size_t k) { return eligible ? (*eligible)[k] : k; };

  const bool use_label = action == "type";
  SurfaceMatcher matcher(strip_type_descriptors(target), use_label);

  // Visible matches win; hidden elements are tried only when no visible one matches.
  std::vector<Ref> matched;
  std::vector<std::size_t> hidden;
  Descriptor d;
  for (std::size_t k = 0; k < eligible_count; ++k) {
    const std::size_t i = position(k);
    dom_elements.read(i, need::is_visible | surface_needs, d);
    if (!d.is_visible.truthy)
      hidden.push_back(i);
    else if (matcher.matches(d))
      matched.push_back({Source::dom, i});
  }
  if (matched.empty()) {
    for (std::size_t i : hidden) {
      dom_elements.read(i, surface_needs, d);
      if (matcher.matches(d)) matched.push_back({Source::dom, i});
    }
  }
  // Text to extract may lie outside every interactable element.
  if (matched.empty() && action == "extract_text") {
    for (std::size_t i = 0; i < text_elements.size(); ++i) {
      text_elements.read(i, need::is_visible | surface_needs, d);
      if (d.is_visible.truthy && matcher.matches(d)) matched.push_back({Source::text, i});
    }
  }
  Resolution r;
  if (matched.empty()) return r;

  std::vector<Ref> exact;
  for (Ref ref : matched) {
    list_of(ref, dom_elements, text_elements).read(ref.index, surface_needs, d);
    if (matcher.exact_matches(d)) exact.push_back(ref);
  }
  std::vector<Ref>& pool = exact.empty() ? matched : exact;

  const double number = ordinal_number(ordinal);
  sort_pool(pool, number > 0, dom_elements, text_elements);
  r.resolved = true;
  r.element = pool[ordinal_index(number, pool.size())];
  r.candidates = std::move(pool);
  return r;
}

}  // namespace vantor::matching
