// The outcome log: what a failure record says about the strategies that
// missed, and the console lines of each logging call.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::report {

// Outcome records keep only the start of long texts.
inline constexpr std::size_t element_text_limit = 40;
inline constexpr std::size_t candidate_text_limit = 30;

// The first candidate of a resolution result, as the closest line names it.
struct Candidate {
  std::string_view tag;
  std::string_view text;
};

// The strategies a failure names, in the order the logging call takes their results.
inline constexpr std::array<std::string_view, 3> failure_strategies = {"DOM", "Spatial", "Florence"};

// A non-empty resolution result of one strategy, as a failure reads it.
struct StrategyResult {
  std::string_view strategy;  // as the reasons name it: one of failure_strategies
  double confidence;
};

// The first candidate of results[i]; none when its candidates list is empty.
using FirstCandidate = std::function<std::optional<Candidate>(std::size_t)>;

struct FailureDetails {
  std::string reasons;        // "DOM confidence=0.40 | Spatial confidence=0.67", or empty
  std::string top_candidate;  // "<button> text='Sign up'", or empty
};

// The reasons of every result, in the order given, and the first candidate
// of the first result that has one. Candidates are asked for in order and no
// further than that result: reading a candidate may fail, and only the one
// named may make the failure's log fail.
FailureDetails describe_failure(std::span<const StrategyResult> results, const FirstCandidate& first_candidate);

// The console lines of each operation, without their line breaks.
std::string success_line(std::string_view instruction, std::string_view strategy);
std::vector<std::string> failure_lines(std::string_view instruction, const FailureDetails& details);
// state_text is the state record in text form, empty when there is none.
std::vector<std::string> verification_lines(bool passed, std::string_view instruction, std::string_view state_text);

std::string_view status_word(bool passed);

}  // namespace vantor::report
