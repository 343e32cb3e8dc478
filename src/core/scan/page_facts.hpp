// Page facts: what an accessibility tree holds about each scanned element
// (role, accessible name, states, value shown, table context), made in the
// page by src/js/page_facts.js and keyed by the descriptors' XPaths.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "values/value.hpp"

namespace vantor::scan {

// The function text that, given [element, xpath] pairs and further XPaths,
// answers the facts keyed by XPath (one facts function, caches included, per
// scan). The page record script takes it to record the facts in its call.
std::string facts_collector();

// A function text without parameters answering, as a JSON text, the facts of
// the elements these XPaths find: for a scan that read the page element by
// element.
std::string facts_script(const values::List& xpaths);

// The XPaths of the descriptors, each once, in the order of the lists.
values::List descriptor_xpaths(const values::List& elements, const values::List& text_elements);

// The keys of a fact record, in order; the page sends each record as the
// list of its values in this order.
inline constexpr std::array<std::string_view, 20> fact_keys = {
    "role",   "name",    "name_from", "label",    "placeholder",   "title",     "alt",
    "testid", "checked", "selected",  "expanded", "disabled",      "readonly",  "required",
    "value",  "table",   "row",       "column",   "column_header", "row_header"};

// The descriptors of the elements named by role that the scan does not list
// (whose XPaths are not among `listed`), as the facts answer gave them (under
// "unlisted"); empty when it gave none.
values::List unlisted_of(const values::Record& facts, const values::List& listed);

// The fact records of those XPaths that `facts` (XPath to the list of values
// the page sent) holds, in the order given.
values::Record facts_of(const values::List& xpaths, const values::Record& facts);

}  // namespace vantor::scan
