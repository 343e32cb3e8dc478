#include "report/run_summary.hpp"

#include <algorithm>
#include <utility>

#include "text/utf8.hpp"

namespace vantor::report {
namespace {

constexpr std::string_view rule = "============================================================";
constexpr std::size_t strategy_column = 20;

struct StrategyCount {
  std::string_view name;
  std::size_t passes;
};

// Passes per strategy name, in the order names are first met.
std::vector<StrategyCount> count_strategies(std::span<const SummaryRecord> records) {
  std::vector<StrategyCount> counts;
  for (const SummaryRecord& r : records) {
    if (!r.passed) continue;
    const std::string_view name = r.strategy.value_or("unknown");
    const auto known =
        std::find_if(counts.begin(), counts.end(), [&](const StrategyCount& c) { return c.name == name; });
    if (known != counts.end()) {
      ++known->passes;
    } else {
      counts.push_back({name, 1});
    }
  }
  return counts;
}

std::string breakdown_line(const StrategyCount& c) {
  std::string line = "    ";
  line += c.name;
  // Padded to the column by characters; a longer name stands whole.
  const std::size_t length = text::character_count(c.name);
  if (length < strategy_column) line.append(strategy_column - length, ' ');
  line += ' ';
  line += std::to_string(c.passes);
  return line;
}

}  // namespace

std::vector<std::string> summary_lines(std::string_view started_at, std::span<const SummaryRecord> records) {
  const std::size_t total = records.size();
  const auto passed = static_cast<std::size_t>(
      std::count_if(records.begin(), records.end(), [](const SummaryRecord& r) { return r.passed; }));
  const std::size_t failed = total - passed;

  std::vector<std::string> lines{"",
                                 std::string(rule),
                                 "  TEST RUN SUMMARY  \u2014  " + std::string(started_at),
                                 std::string(rule),
                                 "  Total        : " + std::to_string(total),
                                 "  Passed       : " + std::to_string(passed),
                                 "  Failed       : " + std::to_string(failed),
                                 ""};

  std::vector<StrategyCount> counts = count_strategies(records);
  if (!counts.empty()) {
    // Names are distinct, so plain code-point order (UTF-8 byte order) decides.
    std::sort(counts.begin(), counts.end(),
              [](const StrategyCount& a, const StrategyCount& b) { return a.name < b.name; });
    lines.emplace_back("  Strategy breakdown (passes only):");
    for (const StrategyCount& c : counts) lines.push_back(breakdown_line(c));
    lines.emplace_back("");
  }

  if (failed != 0) {
    lines.emplace_back("  Failed instructions:");
    // Only records that say "FAIL" are listed; the count above is every record
    // that did not pass.
    for (const SummaryRecord& r : records) {
      if (!r.failed) continue;
      lines.push_back("    \u2717  " + std::string(r.instruction));
      if (!r.reasons.empty()) lines.push_back("       " + std::string(r.reasons));
    }
    lines.emplace_back("");
  }

  lines.emplace_back(rule);
  return lines;
}

}  // namespace vantor::report
