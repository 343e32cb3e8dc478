// The three sources of interactable elements: native controls, custom
// editable inputs and small pointer-cursor elements, each read into element
// descriptors (tag, text, attributes, bounding_box, is_visible, is_enabled,
// [is_editable_field,] xpath).
#pragma once

#include <string_view>

#include "scan/page.hpp"
#include "values/value.hpp"

namespace vantor::scan {

// Everything the interactable selector matches, in query order. An element
// that fails while it is read is left out.
values::List extract_native_elements(PageHandle& page);

// span and div elements whose classes mark them as editable fields.
values::List extract_custom_inputs(PageHandle& page);

// Small div, span, li and td elements with a pointer cursor, gathered by one
// in-page call; nothing when that call fails.
values::List extract_cursor_pointer_elements(PageHandle& page);

// Classes that mark a span or div as an editable field (never a native field).
bool is_custom_input(std::string_view tag, std::string_view classes);

// The captured attributes the element has, in the table's order.
values::Record captured_attributes_of(ElementHandle& element);

// Merges the data- attributes the page returned: a key already present keeps
// its place and takes the new value, new keys follow in the page's order.
void merge_data_attributes(values::Record& attributes, const values::Value& data);

// Whether a box is present and has positive width and height (a missing
// key counts as 0).
bool has_area(const values::Value& box);

}  // namespace vantor::scan
