// Writing page text into CSS selectors so that the selector means exactly
// that text: ids such as ":r1:", "1st" or one holding a quote are common and
// break a selector when pasted in as they are.
#pragma once

#include <string>
#include <string_view>

namespace vantor::scan {

// As CSS.escape() does it: the identifier, escaped so that "#" + result
// selects the element whose id is the text.
std::string css_identifier(std::string_view text);

// The text as a double-quoted CSS string, for attribute selectors.
std::string css_string(std::string_view text);

}  // namespace vantor::scan
