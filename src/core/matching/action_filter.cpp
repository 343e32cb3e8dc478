#include "matching/action_filter.hpp"

#include "matching/tables.hpp"

namespace vantor::matching {
namespace {

bool is_typeable(const Descriptor& d) {
  return (d.tag.is_text() && is_one_of(typeable_tags, d.tag.text)) ||
         (d.attributes.role.is_text() && is_one_of(typeable_roles, d.attributes.role.text)) ||
         d.is_editable_field.truthy;
}

bool is_selectable(const Descriptor& d) { return d.tag.is_text() && is_one_of(selectable_tags, d.tag.text); }

std::string_view trim_slashes(std::string_view s) {
  const std::size_t first = s.find_first_not_of('/');
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of('/') - first + 1);
}

// The steps of an XPath one at a time; an empty path is one empty step.
class Steps {
 public:
  explicit Steps(std::string_view xpath) : rest_(trim_slashes(xpath)) {}
  bool done() const { return done_; }
  std::string_view next() {
    const std::size_t slash = rest_.find('/');
    const std::string_view step = rest_.substr(0, slash);
    if (slash == std::string_view::npos)
      done_ = true;
    else
      rest_.remove_prefix(slash + 1);
    return step;
  }

 private:
  std::string_view rest_;
  bool done_ = false;
};

}  // namespace

std::optional<std::vector<std::size_t>> filter_by_action(std::string_view action, DescriptorList& elements) {
  bool (*qualifies)(const Descriptor&) = nullptr;
  unsigned needs = 0;
  if (action == "type") {
    qualifies = is_typeable;
    needs = need::tag | need::role | need::is_editable_field;
  } else if (action == "select") {
    qualifies = is_selectable;
    needs = need::tag;
  } else {
    return std::nullopt;
  }
  std::vector<std::size_t> kept;
  Descriptor d;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    elements.read(i, needs, d);
    if (qualifies(d)) kept.push_back(i);
  }
  if (kept.empty()) return std::nullopt;
  return kept;
}

std::size_t dom_distance(std::string_view xpath_a, std::string_view xpath_b) {
  Steps a(xpath_a), b(xpath_b);
  // Walk the common steps, then count what is left of each path.
  std::size_t left_a = 0, left_b = 0;
  while (!a.done() && !b.done()) {
    if (a.next() != b.next()) {
      left_a = left_b = 1;
      break;
    }
  }
  while (!a.done()) a.next(), ++left_a;
  while (!b.done()) b.next(), ++left_b;
  return left_a + left_b;
}

}  // namespace vantor::matching
