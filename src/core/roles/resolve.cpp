#include "roles/resolve.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <unordered_map>

#include "roles/actions.hpp"
#include "roles/fold.hpp"
#include "roles/rank.hpp"
#include "roles/reading_order.hpp"
#include "roles/roles.hpp"
#include "roles/rule_text.hpp"
#include "roles/target.hpp"

namespace vantor::roles {
namespace {

// What a person clicks.
constexpr RoleSet controls = role::button | role::link | role::toggles | role::tab | role::choices | role::option |
                             role::menu | role::menuitem | role::slider | role::columnheader | role::rowheader;

bool reads_text(Kind k) { return k == Kind::text_check || k == Kind::look_up || k == Kind::exact_look_up; }

// One element of the page, once, with what the rules read of it.
struct Entry {
  std::size_t index;  // in the caller's candidates
  RoleSet roles;
  Surfaces surfaces;
  std::size_t position = 0;  // reading order
};

struct Scored {
  const Entry* entry;
  Rank rank;
};

RoleSet roles_of(const Candidate& c) {
  const RoleSet named = role_named(c.role);
  return named ? named : implicit_role(c.tag, c.type);
}

class Resolver {
 public:
  Resolver(const Request& request, std::span<const Candidate> candidates, const ActionKind& kind)
      : request_(request), all_(candidates), kind_(kind) {}

  Outcome run();
  Outcome run_placed();

 private:
  void gather();
  bool fits_action(const Candidate& c, RoleSet roles) const;
  std::vector<Scored> match(const Named& named, Reading reading, bool with_fallback, bool& role_kept) const;
  std::vector<Scored> match_any(const Named& named, Reading reading, bool& role_kept) const;
  // Better first; `same_group` below says which differences are no choice.
  auto key(const Scored& s) const;
  bool same_group(const Scored& a, const Scored& b) const;
  Outcome choose(std::vector<Scored> matched, const Target& target, const RuleParts& parts);
  std::optional<Outcome> choose_in_row(const Target& target);
  Outcome finish(Outcome o, const Entry* chosen, const std::vector<Scored>& rivals) const;

  const Candidate& of(const Entry& e) const { return all_[e.index]; }

  const Request& request_;
  std::span<const Candidate> all_;
  const ActionKind& kind_;
  std::vector<Entry> entries_;
};

void Resolver::gather() {
  const bool texts_first = reads_text(kind_.kind);
  const List preferred = texts_first ? List::texts : List::elements;
  std::vector<Box> boxes;
  std::unordered_map<std::string_view, std::size_t> entry_at;  // XPath to its entry
  for (std::size_t i = 0; i < all_.size(); ++i) {
    const Candidate& c = all_[i];
    const RoleSet roles = roles_of(c);
    if (kind_.kind == Kind::action && !fits_action(c, roles)) continue;
    // The same element in both lists is weighed once, as the list that suits the step gives it.
    if (!c.xpath.empty()) {
      const auto [at, added] = entry_at.try_emplace(c.xpath, entries_.size());
      if (!added) {
        Entry& same = entries_[at->second];
        if (c.list == preferred && all_[same.index].list != preferred) same.index = i;
        continue;
      }
    }
    entries_.push_back(Entry{i, roles, surfaces_of(c, roles)});
    boxes.push_back(c.box);
  }
  const auto positions = reading_positions(boxes);
  for (std::size_t i = 0; i < entries_.size(); ++i) entries_[i].position = positions[i];
}

bool Resolver::fits_action(const Candidate& c, RoleSet roles) const {
  if (request_.action == "type") return c.tag != "select" && ((roles & role::text_entry) || c.editable);
  if (request_.action == "select") return c.tag == "select" || (roles & role::choices);
  return true;
}

std::vector<Scored> Resolver::match(const Named& named, Reading reading, bool with_fallback, bool& role_kept) const {
  // The role first; a role word that named nothing of its role may be part of
  // a name ("the Export menu" is a button), and last the name without it.
  std::vector<Scored> found;
  for (int attempt = 0; attempt < 3 && found.empty(); ++attempt) {
    const bool keep_role = attempt == 0 && named.roles != 0;
    if (attempt > 0 && named.roles == 0) break;
    if (attempt == 2 && named.name.empty()) break;
    const std::string_view name = attempt == 1 ? std::string_view(named.whole) : std::string_view(named.name);
    for (const Entry& e : entries_) {
      if (keep_role && !(e.roles & named.roles)) continue;
      const Rank r = rank_of(e.surfaces, name, reading, with_fallback);
      if (r.matched()) found.push_back({&e, r});
    }
    role_kept = keep_role;
  }
  return found;
}

std::vector<Scored> Resolver::match_any(const Named& named, Reading reading, bool& role_kept) const {
  auto found = match(named, reading, false, role_kept);
  // Type, id, class and data- words name an element only when nothing else does.
  if (found.empty()) found = match(named, reading, true, role_kept);
  return found;
}

auto Resolver::key(const Scored& s) const {
  const Candidate& c = of(*s.entry);
  const bool hidden = !c.visible;
  const bool other_list = c.list != (reads_text(kind_.kind) ? List::texts : List::elements);
  // Clicks and hovers go to controls, then to what is typed into, then to plain text.
  int poor_fit = 0;
  if (request_.action == "click" || request_.action == "hover") {
    const RoleSet roles = s.entry->roles;
    if (roles & (role::textbox | role::searchbox | role::spinbutton))
      poor_fit = 1;
    else if (!(roles & controls))
      poor_fit = 2;
  }
  const std::size_t length = reads_text(kind_.kind) ? c.text.size() : 0;
  if (kind_.kind == Kind::action)
    return std::make_tuple(hidden, s.rank.tier, s.rank.source, poor_fit, int{other_list}, length, s.entry->position);
  // A text is checked where it is shown innermost: the shortest text holding it.
  if (reads_text(kind_.kind))
    return std::make_tuple(false, s.rank.tier, s.rank.source, int{hidden}, 0, length,
                           s.entry->position + (other_list ? all_.size() : 0));
  return std::make_tuple(false, s.rank.tier, s.rank.source, int{hidden}, int{other_list}, length, s.entry->position);
}

bool Resolver::same_group(const Scored& a, const Scored& b) const {
  const auto ka = key(a), kb = key(b);
  return std::get<0>(ka) == std::get<0>(kb) && std::get<1>(ka) == std::get<1>(kb) &&
         std::get<2>(ka) == std::get<2>(kb) && std::get<3>(ka) == std::get<3>(kb);
}

Outcome Resolver::finish(Outcome o, const Entry* chosen, const std::vector<Scored>& rivals) const {
  o.resolved = true;
  o.element = chosen->index;
  o.candidates.push_back(chosen->index);
  for (const Scored& r : rivals)
    if (r.entry != chosen) o.candidates.push_back(r.entry->index);
  const Candidate& c = of(*chosen);
  switch (kind_.check) {
    case Check::none:
      break;
    case Check::present:
      o.verified = true;
      break;
    case Check::visible:
      o.verified = c.visible;
      break;
    case Check::enabled:
      o.verified = c.enabled;
      break;
    case Check::disabled:
      o.verified = !c.enabled;
      break;
  }
  return o;
}

Outcome Resolver::choose(std::vector<Scored> matched, const Target& target, const RuleParts& parts) {
  Outcome o;
  o.family = kind_.check == Check::none ? Family::element : Family::check;
  if (kind_.kind == Kind::exact_look_up)
    std::erase_if(matched, [](const Scored& s) { return s.rank.tier != Tier::exact; });
  if (matched.empty()) {
    o.rule = describe_missing(parts);
    return o;
  }
  std::sort(matched.begin(), matched.end(), [&](const Scored& a, const Scored& b) { return key(a) < key(b); });
  std::vector<Scored> best;
  for (const Scored& s : matched)
    if (same_group(s, matched.front())) best.push_back(s);
  o.confidence = confidence_of(matched.front().rank);
  if (target.counted) {
    std::sort(best.begin(), best.end(),
              [](const Scored& a, const Scored& b) { return a.entry->position < b.entry->position; });
    // Nested elements of the same name are one place on the page: the outer one counts.
    std::vector<Scored> places;
    for (const Scored& s : best) {
      const bool inside = std::any_of(places.begin(), places.end(),
                                      [&](const Scored& p) { return nested(of(*p.entry).xpath, of(*s.entry).xpath); });
      if (!inside) places.push_back(s);
    }
    const std::size_t n = target.ordinal == last_ordinal ? places.size() : static_cast<std::size_t>(target.ordinal);
    if (n == 0 || n > places.size()) {
      o.rule = describe_too_few(parts, target.ordinal, places.size());
      return o;
    }
    o.rule = describe(parts, matched.front().rank, target.ordinal, 0);
    return finish(o, places[n - 1].entry, places);
  }
  const Entry* chosen = best.front().entry;
  std::vector<Scored> rivals;
  for (const Scored& s : best)
    if (s.entry == chosen || !nested(of(*s.entry).xpath, of(*chosen).xpath)) rivals.push_back(s);
  o.ambiguous = rivals.size() > 1;
  o.rule = describe(parts, matched.front().rank, 1, o.ambiguous ? rivals.size() : 0);
  return finish(o, chosen, rivals);
}

std::optional<Outcome> Resolver::choose_in_row(const Target& target) {
  bool x_role = false, y_role = false;
  auto xs = match_any(target.what, Reading::element, x_role);
  auto ys = match_any(target.row, Reading::element, y_role);
  if (!ys.empty()) {
    const Rank best_y = std::min_element(ys.begin(), ys.end(), [](auto& a, auto& b) { return a.rank < b.rank; })->rank;
    std::erase_if(ys, [&](const Scored& s) { return !(s.rank == best_y); });
  }
  // How deep the element shares its place with what the row key names: a
  // row's cells share the row, a list item's parts the item.
  std::vector<std::pair<std::size_t, Scored>> placed;
  std::size_t deepest = 0;
  for (const Scored& x : xs) {
    std::size_t depth = 0;
    for (const Scored& y : ys)
      if (y.entry != x.entry) depth = std::max(depth, shared_depth(of(*x.entry).xpath, of(*y.entry).xpath));
    deepest = std::max(deepest, depth);
    placed.emplace_back(depth, x);
  }
  std::vector<Scored> in_row;
  for (const auto& [depth, x] : placed)
    if (depth == deepest && deepest > 0) in_row.push_back(x);
  RuleParts parts{target.what, x_role, false, &target.row};
  if (in_row.empty()) return std::nullopt;
  // Several of them in one container is no row ("the button next to Email"
  // in a form): where they lie decides, which is the spatial rules' work.
  std::sort(in_row.begin(), in_row.end(), [&](const Scored& a, const Scored& b) { return key(a) < key(b); });
  std::size_t same = 0;
  for (const Scored& s : in_row) same += same_group(s, in_row.front()) ? 1 : 0;
  if (same > 1 && !target.counted && of(*in_row.front().entry).row < 0) {
    Outcome o;
    o.family = kind_.check == Check::none ? Family::element : Family::check;
    o.rule = std::string(left_to_others) + ": " + std::to_string(same) + " of them share a place with " +
             describe_named(target.row, y_role);
    return o;
  }
  return choose(std::move(in_row), target, parts);
}

Outcome Resolver::run() {
  Outcome o;
  o.family = kind_.check == Check::none ? Family::element : Family::check;
  o.state = kind_.check == Check::none       ? StateKeys::none
            : kind_.kind == Kind::text_check ? StateKeys::text
                                             : StateKeys::element;
  Target target;
  if (reads_text(kind_.kind)) {
    target.what.name = target.what.whole = fold_name(request_.target);
    target.plain = target.what;
  } else {
    target = read_target(request_.target, request_.literal, request_.ordinal);
  }
  if (target.spatial) {
    o.rule = std::string(left_to_others) + ": the target places its element on the page";
    return o;
  }
  gather();
  if (target.has_row) {
    if (std::optional<Outcome> in_row = choose_in_row(target)) {
      in_row->state = in_row->resolved ? o.state : StateKeys::none;
      return *in_row;
    }
    target.what = target.plain;  // "Search for products" may be a name after all
  }
  bool role_kept = false;
  const Reading reading = reads_text(kind_.kind) ? Reading::text : Reading::element;
  auto matched = match_any(target.what, reading, role_kept);
  Outcome chosen = choose(std::move(matched), target, RuleParts{target.what, role_kept, reading == Reading::text});
  chosen.state = chosen.resolved ? o.state : StateKeys::none;
  return chosen;
}

// How far a box lies from the anchor in a direction; nullopt when it does not
// lie that way at all. The gap along the direction counts, and the offset
// across it twice, so that what is straight below beats what is below and aside.
std::optional<double> distance_towards(const Box& anchor, const Box& box, Direction direction) {
  if (!anchor.known || !box.known) return std::nullopt;
  const auto gap = [](double a0, double a1, double b0, double b1) { return std::max({0.0, b0 - a1, a0 - b1}); };
  const double across_x = gap(anchor.x, anchor.x + anchor.width, box.x, box.x + box.width);
  const double across_y = gap(anchor.y, anchor.y + anchor.height, box.y, box.y + box.height);
  const double anchor_mid_y = anchor.y + anchor.height / 2, box_mid_y = box.y + box.height / 2;
  const double anchor_mid_x = anchor.x + anchor.width / 2, box_mid_x = box.x + box.width / 2;
  switch (direction) {
    case Direction::below:
      if (box_mid_y <= anchor.y + anchor.height) return std::nullopt;
      return std::max(0.0, box.y - (anchor.y + anchor.height)) + 2 * across_x;
    case Direction::above:
      if (box_mid_y >= anchor.y) return std::nullopt;
      return std::max(0.0, anchor.y - (box.y + box.height)) + 2 * across_x;
    case Direction::right:
      if (box_mid_x <= anchor.x + anchor.width) return std::nullopt;
      return std::max(0.0, box.x - (anchor.x + anchor.width)) + 2 * across_y;
    case Direction::left:
      if (box_mid_x >= anchor.x) return std::nullopt;
      return std::max(0.0, anchor.x - (box.x + box.width)) + 2 * across_y;
    case Direction::near:
      break;
  }
  return std::hypot(box_mid_x - anchor_mid_x, box_mid_y - anchor_mid_y);
}

std::string_view direction_words(Direction d) {
  switch (d) {
    case Direction::below:
      return "below";
    case Direction::above:
      return "above";
    case Direction::left:
      return "left of";
    case Direction::right:
      return "right of";
    case Direction::near:
      break;
  }
  return "near";
}

Outcome Resolver::run_placed() {
  Outcome o;
  o.family = kind_.check == Check::none ? Family::element : Family::check;
  const Target target = read_target(request_.target, request_.literal, request_.ordinal);
  if (!target.spatial || target.anchor.whole.empty()) {
    o.rule = "no spatial phrase: the role matcher answered before text matching and spatial";
    return o;
  }
  gather();
  bool anchor_role = false, what_role = false;
  auto anchors = match_any(target.anchor, Reading::element, anchor_role);
  auto found = match_any(target.what, Reading::element, what_role);
  if (anchors.empty() || found.empty()) {
    o.rule = anchors.empty() ? "no anchor " + describe_named(target.anchor, anchor_role)
                             : describe_missing(RuleParts{target.what, what_role});
    return o;
  }
  // The anchor is the best-named element, visible ones first, the first in reading order.
  const Scored* anchor = &*std::min_element(anchors.begin(), anchors.end(), [&](const Scored& a, const Scored& b) {
    const Candidate &ca = of(*a.entry), &cb = of(*b.entry);
    return std::make_tuple(!ca.visible, a.rank, a.entry->position) <
           std::make_tuple(!cb.visible, b.rank, b.entry->position);
  });
  const Candidate& anchor_element = of(*anchor->entry);
  std::vector<std::pair<double, Scored>> placed;
  for (const Scored& s : found) {
    const Candidate& c = of(*s.entry);
    if (s.entry == anchor->entry || nested(c.xpath, anchor_element.xpath)) continue;
    if (const auto d = distance_towards(anchor_element.box, c.box, target.direction)) placed.emplace_back(*d, s);
  }
  if (placed.empty()) {
    o.rule = "no " + describe_named(target.what, what_role) + " " + std::string(direction_words(target.direction)) +
             " " + describe_named(target.anchor, anchor_role);
    return o;
  }
  std::sort(placed.begin(), placed.end(), [&](const auto& a, const auto& b) {
    return std::make_tuple(!of(*a.second.entry).visible, a.first, a.second.entry->position) <
           std::make_tuple(!of(*b.second.entry).visible, b.first, b.second.entry->position);
  });
  const std::size_t n = target.ordinal == last_ordinal ? placed.size() : static_cast<std::size_t>(target.ordinal);
  if (n == 0 || n > placed.size()) {
    o.rule = describe_too_few(RuleParts{target.what, what_role}, target.ordinal, placed.size());
    return o;
  }
  std::vector<Scored> rivals;
  for (const auto& [d, s] : placed) rivals.push_back(s);
  o.confidence = 0.8 * confidence_of(placed[n - 1].second.rank);
  o.rule = "the " + (n == 1 ? std::string("nearest") : ordinal_text(static_cast<int>(n)) + " nearest") + " " +
           describe_named(target.what, what_role) + " " + std::string(direction_words(target.direction)) + " " +
           describe_named(target.anchor, anchor_role);
  o.state = kind_.check == Check::none       ? StateKeys::none
            : kind_.kind == Kind::text_check ? StateKeys::text
                                             : StateKeys::element;
  std::rotate(rivals.begin(), rivals.begin() + static_cast<std::ptrdiff_t>(n - 1),
              rivals.begin() + static_cast<std::ptrdiff_t>(n));
  return finish(o, rivals.front().entry, rivals);
}

}  // namespace

Outcome resolve_placed(const Request& request, std::span<const Candidate> candidates) {
  const ActionKind* kind = kind_of(request.action);
  if (!kind || reads_text(kind->kind)) {
    Outcome o;
    o.rule = std::string(left_to_others) + ": the role matcher does not answer this action";
    return o;
  }
  return Resolver(request, candidates, *kind).run_placed();
}

Outcome resolve(const Request& request, std::span<const Candidate> candidates) {
  const ActionKind* kind = kind_of(request.action);
  if (!kind) {
    Outcome o;
    o.rule = std::string(left_to_others) + ": the role matcher does not answer this action";
    return o;
  }
  return Resolver(request, candidates, *kind).run();
}

}  // namespace vantor::roles
