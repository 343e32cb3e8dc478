// The parsed instruction: what one step asks for.
#pragma once

#include <optional>
#include <string>

#include "steps/vocabulary.hpp"

namespace vantor::steps {

struct ParsedInstruction {
  Action action;
  std::optional<std::string> target;  // element description, key, milliseconds; none for dialogs
  std::optional<std::string> value;   // text to type, option, expected text, keys
  std::optional<int> ordinal;         // click and extract_text only: which match, 1 to 5
  bool literal_target = false;        // the target is exactly a phrase the user double-quoted

  bool operator==(const ParsedInstruction&) const = default;
};

}  // namespace vantor::steps
