// Narrowing the element descriptors to those that can take an action, and
// the distance of two elements in the document tree.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "matching/descriptor.hpp"

namespace vantor::matching {

// The positions of the descriptors that can take the action: the editable
// fields for "type", the select boxes for "select". Nothing (the list stays
// as it is) for every other action, and when no descriptor qualifies.
std::optional<std::vector<std::size_t>> filter_by_action(std::string_view action, DescriptorList& elements);

// Parent and child moves between two positional XPaths through their deepest
// common ancestor; steps compare as whole strings.
std::size_t dom_distance(std::string_view xpath_a, std::string_view xpath_b);

// The same distance from one XPath to many: the fixed path is read once.
class DistanceFrom {
 public:
  explicit DistanceFrom(std::string_view xpath);
  std::size_t to(std::string_view xpath) const;

 private:
  std::string_view path_;                    // without leading and trailing slashes
  std::vector<std::size_t> slashes_before_;  // slashes in path_ before each position, and in all of it
};

}  // namespace vantor::matching
