// Checking script lines for malformed steps before a run. A coarser grammar
// than parsing: it reports problems in words instead of raising.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor::steps {

// The problems of one line, in the order they are found; empty when clean.
std::vector<std::string> validate(std::string_view instruction);

// 1-based line number and issues, for each line that has any, in line order.
using ValidationReport = std::vector<std::pair<int, std::vector<std::string>>>;

ValidationReport validate_all(const std::vector<std::string_view>& instructions);

}  // namespace vantor::steps
