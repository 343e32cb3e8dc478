// The readable text of the page: every visible element of the text tags that
// shows text, without the wrappers whose text their children already list.
#pragma once

#include <cstddef>
#include <vector>

#include "scan/page.hpp"
#include "values/value.hpp"

namespace vantor::scan {

// Text element descriptors (tag, text, has_direct_text, attributes,
// bounding_box, is_visible, is_enabled, xpath), de-duplicated. An element that
// fails while it is read is left out.
values::List extract_text_elements(PageHandle& page);

// The positions of the candidates that remain, in order. An element with text
// of its own always stays. One without gives way only when its text is fully
// accounted for by smaller candidates overlapping it whose text it contains:
// taking out the first occurrence of each of their texts, in list order,
// leaves nothing but whitespace. So a wrapper never takes visible text with it.
std::vector<std::size_t> dedup_text_elements(const values::List& candidates);

}  // namespace vantor::scan
