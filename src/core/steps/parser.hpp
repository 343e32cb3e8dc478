// Turning one step of a test script into a parsed instruction.
#pragma once

#include <string>
#include <string_view>

#include "errors.hpp"
#include "steps/parsed_instruction.hpp"

namespace vantor::steps {

// A step that no rule accepts. what() is the whole message, the list of
// supported actions included; reason() is its first sentence alone, for a
// caller that shows why without the list.
class UnreadableStep : public ValueError {
 public:
  explicit UnreadableStep(std::string reason);
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// Tries the keyword rules in their fixed order; the first that accepts the
// step builds the record. Throws UnreadableStep for a step that no rule accepts.
ParsedInstruction parse(std::string_view instruction);

}  // namespace vantor::steps
