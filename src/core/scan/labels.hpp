// Field labels: the words a user reads next to a field, stored in a
// descriptor's attributes under "_label".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "scan/page.hpp"
#include "values/value.hpp"

namespace vantor::scan {

// The label of an input-like element, from the first source that gives
// text: aria-label, the elements aria-labelledby names, the label whose for
// attribute names its id, placeholder, title, the text of earlier siblings,
// of the parent's earlier children, and of a label that wraps it. "" when none.
// The look-ups and scripts fail quietly (the next source is tried); errors of
// the attribute reads reach the caller.
std::string field_label(PageHandle& page, ElementHandle& element);

// The short visible texts (at most 60 characters, at most 40 pixels high) that
// can label what lies below them, first occurrence of each text only: records
// with "text" and "bounding_box".
values::List collect_label_candidates(PageHandle& page);

struct SpatialLabel {
  std::size_t element;  // index into the element list
  std::string text;
};

// For every element without a non-empty "_label" and with a box, the text of
// the nearest candidate above it that overlaps it horizontally.
std::vector<SpatialLabel> spatial_labels(const values::List& elements, const values::List& candidates);

// Writes the spatial labels into the elements' attributes.
void assign_spatial_labels(values::List& elements, const values::List& candidates);

}  // namespace vantor::scan
