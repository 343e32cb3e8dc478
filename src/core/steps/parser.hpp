// Turning one step of a test script into a parsed instruction.
#pragma once

#include <string_view>

#include "steps/parsed_instruction.hpp"

namespace vantor::steps {

// Tries the keyword rules in their fixed order; the first that accepts the
// step builds the record. Throws ValueError for a step that no rule accepts.
ParsedInstruction parse(std::string_view instruction);

}  // namespace vantor::steps
