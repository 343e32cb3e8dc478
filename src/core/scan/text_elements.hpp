// The readable text of the page: every visible element of the text tags that
// shows text, without the wrappers whose text their children already list.
#pragma once

#include <cstddef>
#include <span>
#include <string>
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
// each of their texts, in list order, takes out the first place where the
// wrapper shows it that no earlier one took, and what is left is nothing but
// whitespace. So a wrapper never takes visible text with it.
//
// `control_texts`, when given, holds for each candidate the rendered texts of
// the selects inside it: their option texts belong to those controls, so they
// are taken out of the wrapper's text first and count as accounted for.
//
// Only candidates whose boxes overlap can account for a wrapper, so they are
// looked up by box: a page of tens of thousands of text elements takes
// n log n, not n squared.
std::vector<std::size_t> dedup_text_elements(const values::List& candidates,
                                             std::span<const std::vector<std::string>> control_texts = {});

}  // namespace vantor::scan
