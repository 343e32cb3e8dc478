#include "report/outcome_log.hpp"

#include "report/two_decimals.hpp"
#include "text/quoted.hpp"
#include "text/utf8.hpp"

namespace vantor::report {

FailureDetails describe_failure(std::span<const StrategyResult> results, const FirstCandidate& first_candidate) {
  FailureDetails details;
  for (const StrategyResult& result : results) {
    if (!details.reasons.empty()) details.reasons += " | ";
    details.reasons += result.strategy;
    details.reasons += " confidence=";
    details.reasons += two_decimals(result.confidence);
  }
  for (std::size_t i = 0; i < results.size(); ++i) {
    const std::optional<Candidate> c = first_candidate(i);
    if (!c) continue;
    details.top_candidate = "<";
    details.top_candidate += c->tag;
    details.top_candidate += "> text=";
    text::append_quoted(details.top_candidate, text::first_characters(c->text, candidate_text_limit));
    break;
  }
  return details;
}

std::string success_line(std::string_view instruction, std::string_view strategy) {
  std::string line = "  [PASS] ";
  line += instruction;
  line += "  (via ";
  line += strategy;
  line += ')';
  return line;
}

std::vector<std::string> failure_lines(std::string_view instruction, const FailureDetails& details) {
  std::vector<std::string> lines{"  [FAIL] " + std::string(instruction)};
  if (!details.reasons.empty()) lines.push_back("         reasons : " + details.reasons);
  if (!details.top_candidate.empty()) lines.push_back("         closest : " + details.top_candidate);
  return lines;
}

std::string_view status_word(bool passed) { return passed ? "PASS" : "FAIL"; }

std::vector<std::string> verification_lines(bool passed, std::string_view instruction, std::string_view state_text) {
  std::vector<std::string> lines{"  [" + std::string(status_word(passed)) + "] " + std::string(instruction)};
  if (!state_text.empty()) lines.push_back("         state : " + std::string(state_text));
  return lines;
}

}  // namespace vantor::report
