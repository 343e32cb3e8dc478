// Directional text: the text element nearest to an anchor text in a
// direction, checked against an expected text or extracted.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "matching/action_filter.hpp"
#include "matching/case_fold.hpp"
#include "matching/field_rules.hpp"
#include "matching/resolution.hpp"
#include "matching/tables.hpp"
#include "text/case.hpp"
#include "text/whitespace.hpp"

namespace vantor::matching {
namespace {

struct DirectionalTarget {
  std::optional<Direction> direction;
  std::string anchor;
};

constexpr auto direction_search_order =
    vocabulary::longest_first(direction_phrases, [](const DirectionPhrase& p) { return p.phrase; });

// The phrase must open the target and be followed by one space; each article
// is then taken off the anchor in turn.
DirectionalTarget read_directional_target(std::string_view target) {
  const std::string lowered = text::lower(target);
  for (const DirectionPhrase& p : direction_search_order) {
    if (lowered.size() <= p.phrase.size() || lowered.compare(0, p.phrase.size(), p.phrase) != 0 ||
        lowered[p.phrase.size()] != ' ')
      continue;
    std::string_view anchor = text::strip(drop_chars(target, p.phrase.size()));
    for (std::string_view article : vocabulary::articles) {
      const std::string anchor_lower = text::lower(anchor);
      if (anchor_lower.size() > article.size() && anchor_lower.starts_with(article) &&
          anchor_lower[article.size()] == ' ')
        anchor = drop_chars(anchor, article.size() + 1);
    }
    return {p.direction, std::string(anchor)};
  }
  return {std::nullopt, std::string(target)};
}

struct Anchor {
  Ref ref;
  const void* identity;
  std::string xpath;
  double x, x2, y, y2, cx, cy;
};

struct Found {
  Ref ref;
  DescriptorList* list;
};

// The anchors among the text elements: the first line of their text is the anchor text.
std::vector<Found> text_anchors(std::string_view anchor_lower, DescriptorList& text_elements) {
  std::vector<Found> found;
  CaseFold fold;
  Descriptor d;
  for (std::size_t i = 0; i < text_elements.size(); ++i) {
    text_elements.read(i, need::text | need::xpath | need::box, d);
    std::string_view line = text::strip(d.text.text_or_empty());
    line = line.substr(0, line.find('\n'));
    if (fold.equals_trimmed(line, anchor_lower) && d.xpath.truthy && d.xpath.is_text() && d.bounding_box.truthy)
      found.push_back({{Source::text, i}, &text_elements});
  }
  return found;
}

// The anchors among the element descriptors: by their whole text, else by aria-label.
std::vector<Found> element_anchors(std::string_view anchor_lower, DescriptorList& dom_elements) {
  std::vector<Found> found;
  CaseFold fold;
  Descriptor d;
  for (const bool by_aria_label : {false, true}) {
    for (std::size_t i = 0; i < dom_elements.size(); ++i) {
      dom_elements.read(i, need::text | need::attributes | need::xpath | need::box, d);
      const Field& name = by_aria_label ? d.attributes.aria_label : d.text;
      if (fold.equals_trimmed(name.text_or_empty(), anchor_lower) && d.xpath.truthy && d.xpath.is_text() &&
          d.bounding_box.truthy)
        found.push_back({{Source::dom, i}, &dom_elements});
    }
    if (!found.empty()) break;
  }
  return found;
}

// The smallest anchor by box area; the first of equal ones.
Anchor choose_anchor(const std::vector<Found>& found) {
  Descriptor d;
  std::optional<double> smallest;
  const Found* best = nullptr;
  for (const Found& f : found) {
    f.list->read(f.ref.index, need::coordinates, d);
    box_record(*f.list, f.ref.index, d);
    const double area =
        coordinate(*f.list, f.ref.index, d.width, "width") * coordinate(*f.list, f.ref.index, d.height, "height");
    if (!smallest || area < *smallest) {
      smallest = area;
      best = &f;
    }
  }
  DescriptorList& list = *best->list;
  const std::size_t i = best->ref.index;
  list.read(i, need::coordinates | need::xpath, d);
  box_record(list, i, d);
  Anchor a{best->ref, list.identity(i), std::string(d.xpath.text), 0, 0, 0, 0, 0, 0};
  a.x = coordinate(list, i, d.x, "x");
  a.x2 = a.x + coordinate(list, i, d.width, "width");
  a.y = coordinate(list, i, d.y, "y");
  a.y2 = a.y + coordinate(list, i, d.height, "height");
  a.cx = (a.x + a.x2) / 2;
  a.cy = (a.y + a.y2) / 2;
  return a;
}

struct Placed {
  double distance;
  std::size_t index;
};

// Where the element's centre lies relative to the anchor; nothing when it is
// not in the direction. Bounds are inclusive but for the first, strict test.
std::optional<double> distance_in(Direction direction, const Anchor& a, double cx, double cy) {
  switch (direction) {
    case Direction::right:
      if (cx > a.cx && a.y <= cy && cy <= a.y2) return std::abs(cx - a.cx);
      break;
    case Direction::left:
      if (cx < a.cx && a.y <= cy && cy <= a.y2) return std::abs(cx - a.cx);
      break;
    case Direction::below:
      if (cy > a.cy && a.x <= cx && cx <= a.x2) return std::abs(cy - a.cy);
      break;
    case Direction::above:
      if (cy < a.cy && a.x <= cx && cx <= a.x2) return std::abs(cy - a.cy);
      break;
  }
  return std::nullopt;
}

// The text elements in the direction, nearest first (stable).
std::vector<Placed> in_direction(Direction direction, const Anchor& anchor, bool use_dom_distance,
                                 DescriptorList& text_elements) {
  std::vector<Placed> placed;
  const DistanceFrom from_anchor(anchor.xpath);
  Descriptor d;
  for (std::size_t i = 0; i < text_elements.size(); ++i) {
    if (text_elements.identity(i) == anchor.identity) continue;
    // The coordinates come with the same read; a missing one is an error only once it is used.
    text_elements.read(i, need::tag | need::xpath | need::coordinates, d);
    if (!d.tag.is_text() || !is_one_of(text_only_tags, d.tag.text)) continue;
    if (!d.xpath.truthy || !d.xpath.is_text() || !d.bounding_box.truthy) continue;
    if (use_dom_distance && from_anchor.to(d.xpath.text) > dom_distance_threshold) continue;
    box_record(text_elements, i, d);
    const double cx = coordinate(text_elements, i, d.x, "x") + coordinate(text_elements, i, d.width, "width") / 2;
    const double cy = coordinate(text_elements, i, d.y, "y") + coordinate(text_elements, i, d.height, "height") / 2;
    if (const std::optional<double> distance = distance_in(direction, anchor, cx, cy)) placed.push_back({*distance, i});
  }
  std::stable_sort(placed.begin(), placed.end(),
                   [](const Placed& a, const Placed& b) { return number_less(a.distance, b.distance); });
  return placed;
}

// An empty text matches nothing, and does not make an empty cell pass.
bool texts_agree(std::string_view expected, std::string_view actual) {
  const std::string e = norm(expected), a = norm(actual);
  return !e.empty() && !a.empty() && (a.find(e) != std::string::npos || e.find(a) != std::string::npos);
}

struct Directional {
  Resolution result;
  bool text_found = false;  // a text element lies in the direction
};

Directional directional(std::string_view target, std::string_view expected, DescriptorList& text_elements,
                        DescriptorList* dom_elements) {
  Directional out;
  Resolution& r = out.result;
  r.family = Family::check;
  r.state = State::expected;
  const DirectionalTarget parsed = read_directional_target(target);
  if (!parsed.direction || parsed.anchor.empty()) return out;

  const std::string anchor_lower = text::lower(parsed.anchor);
  std::vector<Found> anchors = text_anchors(anchor_lower, text_elements);
  // The tree distance means something only between two text elements.
  bool use_dom_distance = true;
  if (anchors.empty() && dom_elements && dom_elements->size() > 0) {
    anchors = element_anchors(anchor_lower, *dom_elements);
    use_dom_distance = false;
  }
  r.state = State::expected_actual;
  if (anchors.empty()) {
    r.actual = "anchor '" + parsed.anchor + "' not found";
    return out;
  }
  const Anchor anchor = choose_anchor(anchors);
  const std::vector<Placed> placed = in_direction(*parsed.direction, anchor, use_dom_distance, text_elements);
  r.resolved = true;
  if (placed.empty()) {
    r.element = anchor.ref;
    r.actual = "no element " + std::string(direction_name(*parsed.direction)) + " of '" + parsed.anchor + "'";
    return out;
  }
  for (const Placed& p : placed) r.candidates.push_back({Source::text, p.index});
  r.element = r.candidates.front();
  Descriptor d;
  text_elements.read(placed.front().index, need::text, d);
  r.actual = std::string(text::strip(d.text.text_or_empty()));
  r.verified = texts_agree(expected, r.actual) ? Verified::yes : Verified::no;
  out.text_found = true;
  return out;
}

}  // namespace

std::string norm(std::string_view v) {
  const std::string lowered = text::lower(v);
  std::string kept;
  kept.reserve(lowered.size());
  for (std::size_t i = 0; i < lowered.size();) {
    const std::string_view rest = std::string_view(lowered).substr(i);
    if (rest[0] == '$' || rest[0] == ',') {
      ++i;
    } else if (rest.starts_with("\u00a3")) {
      i += 2;
    } else if (rest.starts_with("\u20ac")) {
      i += 3;
    } else {
      kept += rest[0];
      ++i;
    }
  }
  return std::string(text::strip(kept));
}

Resolution resolve_verify_spatial_text(std::string_view target, std::string_view expected,
                                       DescriptorList& text_elements, DescriptorList* dom_elements) {
  return directional(target, expected, text_elements, dom_elements).result;
}

Resolution resolve_extract_spatial_text(std::string_view target, DescriptorList& text_elements,
                                        DescriptorList* dom_elements) {
  Directional found = directional(target, "", text_elements, dom_elements);
  Resolution r;
  r.family = Family::extraction;
  // Only a text in the direction is extracted: the anchor's own text is not an answer.
  if (!found.text_found) return r;
  r.resolved = true;
  r.element = found.result.element;
  r.extracted = found.result.actual;
  r.candidates = std::move(found.result.candidates);
  return r;
}

}  // namespace vantor::matching
