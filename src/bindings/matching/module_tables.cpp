#include "matching/module_tables.hpp"

#include <array>
#include <string_view>

#include "matching/action_filter.hpp"
#include "matching/surfaces.hpp"
#include "matching/tables.hpp"
#include "support/arguments.hpp"

namespace vantor::bindings {
namespace {

template <std::size_t N>
nb::object str_set(const std::array<std::string_view, N>& words, bool frozen) {
  nb::list items;
  for (std::string_view w : words) items.append(make_str(w));
  return frozen ? nb::steal(PyFrozenSet_New(items.ptr())) : nb::steal(PySet_New(items.ptr()));
}

}  // namespace

void add_matching_tables(nb::module_& m) {
  m.attr("_TYPE_DESCRIPTORS") = str_set(matching::type_descriptors, true);
  nb::list attributes;
  for (std::string_view a : matching::match_attributes) attributes.append(make_str(a));
  m.attr("_MATCH_ATTRIBUTES") = attributes;
  m.attr("_TYPEABLE_TAGS") = str_set(matching::typeable_tags, false);
  m.attr("_TYPEABLE_ROLES") = str_set(matching::typeable_roles, false);
  m.attr("_SELECTABLE_TAGS") = str_set(matching::selectable_tags, false);
  m.attr("_TEXT_ONLY_TAGS") = str_set(matching::text_only_tags, false);
  m.attr("_DOM_DISTANCE_THRESHOLD") = matching::dom_distance_threshold;
  nb::dict directions;
  for (const matching::DirectionPhrase& p : matching::direction_phrases)
    directions[make_str(p.phrase)] = make_str(matching::direction_name(p.direction));
  m.attr("_DIRECTIONS") = directions;
}

}  // namespace vantor::bindings
