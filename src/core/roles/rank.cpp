#include "roles/rank.hpp"

#include "roles/fold.hpp"
#include "roles/roles.hpp"

namespace vantor::roles {
namespace {

// Bytes of non-ASCII characters count as word characters: "café" is one word.
bool word_byte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || c == '_';
}

bool boundary_before(std::string_view s, std::size_t at) {
  return at == 0 || !word_byte(s[at - 1]) || !word_byte(s[at]);
}

bool boundary_after(std::string_view s, std::size_t end) {
  return end == s.size() || !word_byte(s[end]) || !word_byte(s[end - 1]);
}

void consider(Rank& best, std::string_view surface, std::string_view name, Source source) {
  if (surface.empty() && !name.empty()) return;
  const Rank here{tier_of(surface, name), source};
  if (here.matched() && here < best) best = here;
}

}  // namespace

Tier tier_of(std::string_view surface, std::string_view name) {
  if (surface == name) return Tier::exact;
  if (name.empty()) return Tier::exact;
  Tier best = Tier::none;
  for (std::size_t at = surface.find(name); at != std::string_view::npos; at = surface.find(name, at + 1)) {
    const bool whole = boundary_before(surface, at) && boundary_after(surface, at + name.size());
    if (whole && at == 0) return Tier::starts;
    if (whole) best = Tier::words;
    if (best == Tier::none) best = Tier::contains;
  }
  return best;
}

Surfaces surfaces_of(const Candidate& c, std::uint32_t roles) {
  Surfaces s;
  s.field = (roles & (role::text_entry | role::choices | role::slider)) != 0 || c.tag == "select" ||
            c.tag == "textarea" || c.tag == "input";
  s.name = fold_name(c.name);
  if (!s.field) s.text = fold_name(c.text);
  s.label = fold_name(c.label);
  s.has_value = c.has_value;
  if (c.has_value) s.value = fold_name(c.value);
  s.placeholder = fold_name(c.placeholder);
  s.title = fold_name(c.title);
  s.alt = fold_name(c.alt);
  s.testid = fold_name(c.testid);
  s.fallback = fold_name(c.fallback_words);
  return s;
}

Rank rank_of(const Surfaces& s, std::string_view name, Reading reading, bool with_fallback) {
  Rank best;
  if (reading == Reading::text) {
    consider(best, s.text, name, Source::name);
    if (s.has_value) consider(best, s.value, name, Source::name);
    return best;
  }
  consider(best, s.name, name, Source::name);
  consider(best, s.text, name, Source::name);
  consider(best, s.label, name, Source::label);
  for (const std::string* other : {&s.placeholder, &s.title, &s.alt, &s.testid})
    consider(best, *other, name, Source::attribute);
  if (with_fallback && !best.matched()) consider(best, s.fallback, name, Source::fallback);
  return best;
}

}  // namespace vantor::roles
