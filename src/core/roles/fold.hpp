// The comparison form of a name: lower case as Python's str.lower, typographic
// quotes, apostrophes and dashes as their plain forms, runs of whitespace as
// one space, trimmed. Compatibility forms (NFKC) are folded before this, by
// whoever holds the Unicode database.
#pragma once

#include <string>
#include <string_view>

namespace vantor::roles {

std::string fold_name(std::string_view text);

}  // namespace vantor::roles
