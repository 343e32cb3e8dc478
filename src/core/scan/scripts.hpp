// The scripts the scanner runs inside the page. Their sources are the files
// of src/js, embedded at build time (tools/embed_scripts.py); each constant is
// the exact function text the page receives.
#pragma once

#include <string_view>

namespace vantor::scan::scripts {

// Run on one element (the function takes the element):
extern const std::string_view tag_name;               // lower-case tag name
extern const std::string_view data_attributes;        // data- attributes, name to value
extern const std::string_view has_direct_text;        // own text nodes hold non-blank text
extern const std::string_view xpath;                  // positional XPath
extern const std::string_view previous_sibling_text;  // label text of the earlier siblings
extern const std::string_view parent_text;            // label text of the parent's earlier children
extern const std::string_view wrapping_label_text;    // text of the label that wraps the field
extern const std::string_view select_texts;           // rendered texts of the selects shown inside

// Run on the page (no parameters):
extern const std::string_view cursor_pointer;  // pointer-cursor elements, one record each

// The pieces of the one-call page record (see recorded_page.hpp):
extern const std::string_view record_page;    // gathers the record
extern const std::string_view element_state;  // makes the visibility and enabled tests
extern const std::string_view element_box;    // an element's box

// Page facts (see page_facts.hpp):
extern const std::string_view page_facts;         // makes the facts function of one scan
extern const std::string_view collect_facts;      // facts keyed by XPath
extern const std::string_view unlisted_elements;  // elements named by role that the scan does not list

}  // namespace vantor::scan::scripts
