// The outcome log: what a failure record says about the strategies that
// missed, and the console lines of each logging call.
#pragma once

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

// A non-empty resolution result of one strategy, as a failure reads it.
struct StrategyResult {
  std::string_view strategy;  // as the reasons name it: "DOM", "Spatial", "Florence"
  double confidence;
  std::optional<Candidate> first_candidate;  // when its candidates list is non-empty
};

struct FailureDetails {
  std::string reasons;        // "DOM confidence=0.40 | Spatial confidence=0.67", or empty
  std::string top_candidate;  // "<button> text='Sign up'", or empty
};

// The reasons of every result, in the order given, and the first candidate
// of the first result that has one.
FailureDetails describe_failure(std::span<const StrategyResult> results);

// The console lines of each operation, without their line breaks.
std::string success_line(std::string_view instruction, std::string_view strategy);
std::vector<std::string> failure_lines(std::string_view instruction, const FailureDetails& details);
// state_text is the state record in text form, empty when there is none.
std::vector<std::string> verification_lines(bool passed, std::string_view instruction, std::string_view state_text);

std::string_view status_word(bool passed);

}  // namespace vantor::report
