#include "scan/scan.hpp"

#include <iterator>

#include "scan/elements.hpp"
#include "scan/labels.hpp"
#include "scan/text_elements.hpp"

namespace vantor::scan {

namespace {

void append(values::List& to, values::List&& more) {
  to.insert(to.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

}  // namespace

PageScan scan_page(PageHandle& page) {
  PageScan scan;
  scan.elements = extract_native_elements(page);
  append(scan.elements, extract_custom_inputs(page));
  append(scan.elements, extract_cursor_pointer_elements(page));
  const values::List candidates = collect_label_candidates(page);
  assign_spatial_labels(scan.elements, candidates);
  scan.text_elements = extract_text_elements(page);
  return scan;
}

}  // namespace vantor::scan
