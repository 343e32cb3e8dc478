// The block printed at the end of a run: totals, the strategies behind the
// passes, and the failed instructions with their reasons.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::report {

// What the summary reads of one outcome record.
struct SummaryRecord {
  bool passed;                               // its status is "PASS"
  bool failed;                               // its status is "FAIL": any other status is neither
  std::optional<std::string_view> strategy;  // passes only; none when the key is missing
  std::string_view instruction;              // failures only
  std::string_view reasons;                  // failures only; empty when missing or empty
};

// The block's lines, without their line breaks.
std::vector<std::string> summary_lines(std::string_view started_at, std::span<const SummaryRecord> records);

}  // namespace vantor::report
