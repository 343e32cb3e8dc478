// State checks of elements and texts, and the text look-ups.
#include <algorithm>

#include "errors.hpp"
#include "matching/field_rules.hpp"
#include "matching/resolution.hpp"
#include "matching/surfaces.hpp"
#include "text/case.hpp"

namespace vantor::matching {
namespace {

struct Sized {
  std::size_t index;
  std::size_t length;
};

// Shortest text first; equal lengths keep the list's order.
std::vector<Ref> by_length(std::vector<Sized>& found, Source list) {
  std::stable_sort(found.begin(), found.end(), [](const Sized& a, const Sized& b) { return a.length < b.length; });
  std::vector<Ref> refs;
  refs.reserve(found.size());
  for (const Sized& s : found) refs.push_back({list, s.index});
  return refs;
}

Check element_check(std::string_view action) {
  if (action == "verify_present") return Check::present;
  if (action == "verify_visible") return Check::visible;
  if (action == "verify_enabled") return Check::enabled;
  if (action == "verify_disabled") return Check::disabled;
  throw KeyError(std::string(action));
}

Check text_check(std::string_view action) {
  if (action == "verify_text_present") return Check::present;
  if (action == "verify_text_visible") return Check::visible;
  throw KeyError(std::string(action));
}

Resolution not_found_check() {
  Resolution r;
  r.family = Family::check;
  return r;
}

// The text elements, in order, whose lower-cased text contains the lowered target.
std::vector<Sized> containing(std::string_view lowered, DescriptorList& text_elements) {
  std::vector<Sized> found;
  const Needle needle(lowered);
  CaseFold fold;
  Descriptor d;
  for (std::size_t i = 0; i < text_elements.size(); ++i) {
    text_elements.read(i, need::text, d);
    const std::string_view text = required_text(text_elements, i, d.text);
    if (fold.contains(text, needle)) found.push_back({i, char_count(text)});
  }
  return found;
}

}  // namespace

Resolution resolve_verify(std::string_view action, std::string_view target, DescriptorList& dom_elements) {
  const Check check = element_check(action);
  SurfaceMatcher matcher(strip_type_descriptors(target), false);
  // Every element takes part, hidden or not, whatever it can do.
  std::vector<Sized> found;
  Descriptor d;
  for (std::size_t i = 0; i < dom_elements.size(); ++i) {
    dom_elements.read(i, surface_needs, d);
    if (matcher.matches(d)) found.push_back({i, char_count(d.text.text_or_empty())});
  }
  if (found.empty()) return not_found_check();
  Resolution r = not_found_check();
  r.candidates = by_length(found, Source::dom);
  r.resolved = true;
  r.element = r.candidates.front();
  r.state = State::element;
  switch (check) {
    case Check::present:
      r.verified = Verified::yes;
      break;
    case Check::visible:
      r.verified = Verified::element_visible;
      break;
    case Check::enabled:
      r.verified = Verified::element_enabled;
      break;
    case Check::disabled:
      dom_elements.read(r.element->index, need::is_enabled, d);
      r.verified = d.is_enabled.truthy ? Verified::no : Verified::yes;
      break;
  }
  return r;
}

Resolution resolve_verify_text(std::string_view action, std::string_view target, DescriptorList& text_elements) {
  const Check check = text_check(action);
  std::vector<Sized> found = containing(text::lower(target), text_elements);
  if (found.empty()) return not_found_check();
  Resolution r = not_found_check();
  r.candidates = by_length(found, Source::text);
  r.resolved = true;
  r.element = r.candidates.front();
  r.state = State::text_element;
  r.verified = check == Check::present ? Verified::yes : Verified::element_visible;
  return r;
}

Resolution resolve_find_text(std::string_view target, DescriptorList& text_elements) {
  std::vector<Sized> found = containing(text::lower(target), text_elements);
  Resolution r;
  if (found.empty()) return r;
  r.candidates = by_length(found, Source::text);
  r.resolved = true;
  r.element = r.candidates.front();
  return r;
}

Resolution resolve_find_exact_text(std::string_view target, DescriptorList& text_elements) {
  const std::string lowered = text::lower(target);
  const Needle needle(lowered);
  std::vector<Ref> exact;
  std::vector<Sized> partial;
  CaseFold fold;
  Descriptor d;
  for (std::size_t i = 0; i < text_elements.size(); ++i) {
    text_elements.read(i, need::text, d);
    const std::string_view text = required_text(text_elements, i, d.text);
    if (fold.equals_trimmed(text, lowered)) exact.push_back({Source::text, i});
    if (fold.contains(text, needle)) partial.push_back({i, char_count(text)});
  }
  Resolution r;
  if (exact.empty()) {
    // A failed exact look-up still reports the near misses.
    r.candidates = by_length(partial, Source::text);
    return r;
  }
  // Exact matches in page order, then every contains match (the exact ones again) in page order.
  r.resolved = true;
  r.element = exact.front();
  r.candidates = std::move(exact);
  for (const Sized& s : partial) r.candidates.push_back({Source::text, s.index});
  return r;
}

}  // namespace vantor::matching
