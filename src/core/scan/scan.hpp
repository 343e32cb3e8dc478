// One scan of the page: the interactable elements of all three sources,
// labelled, and the page's text elements.
#pragma once

#include "scan/page.hpp"
#include "values/value.hpp"

namespace vantor::scan {

struct PageScan {
  values::List elements;       // native elements, then custom inputs, then pointer-cursor elements
  values::List text_elements;  // de-duplicated
};

// Reads the elements of every source (an element that fails is left out),
// gives every element still without a label the nearest short text above it,
// then reads the text elements. Errors of the page queries, of the labelling
// and of the text extraction reach the caller; nothing partial is returned.
PageScan scan_page(PageHandle& page);

}  // namespace vantor::scan
