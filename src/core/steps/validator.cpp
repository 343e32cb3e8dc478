#include "steps/validator.hpp"

#include <algorithm>
#include <array>

#include "steps/target_text.hpp"
#include "steps/vocabulary.hpp"
#include "text/case.hpp"
#include "text/quoted.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/whitespace.hpp"

namespace vantor::steps {
namespace {

constexpr auto npos = std::string_view::npos;

// Directional "verify text" lines carry no state ending. Every spatial
// relation that parse reads is exempt, so validation never refuses what
// parse accepts.
constexpr std::array<std::string_view, 7> directional_text_prefixes = {
    "verify text next to", "verify text below",  "verify text above", "verify text left",
    "verify text right",   "verify text under ", "verify text near ",
};

std::string state_issue(std::string_view what, const auto& states) {
  std::string issue = "`";
  issue.append(what).append("` instruction missing state. Expected ending: ");
  for (std::size_t i = 0; i < states.size(); ++i) {
    if (i) issue += " | ";
    issue += states[i].suffix;
  }
  return issue;
}

// One or more characters that int() reads as digits.
bool is_whole_number(std::string_view s) {
  if (s.empty()) return false;
  for (std::size_t pos = 0; pos < s.size();) {
    const text::Decoded d = text::decode_at(s, pos);
    if (!text::is_decimal(d.code_point)) return false;
    pos += d.length;
  }
  return true;
}

void check_type(std::string_view raw, const text::LoweredText& low, std::vector<std::string>& issues) {
  const std::string_view l = low.text();
  if (l.find(" into ") == npos) {
    issues.push_back("`type` instruction missing `into` keyword. Expected: type <text> into <target>");
    return;
  }
  const std::string missing_text = "`type` instruction missing text to type. Expected: type <text> into <target>";
  // Only a separator after the keyword counts: in "type into x" there is no text to type.
  const std::size_t p = l.find(" into ", 5);
  if (p == npos) {
    issues.push_back(missing_text);
    return;
  }
  const std::size_t value_begin = low.source_offset(5), value_end = low.source_offset(p);
  if (text::strip(raw.substr(value_begin, value_end - value_begin)).empty()) issues.push_back(missing_text);
  if (text::strip(raw.substr(low.source_offset(p + 6))).empty())
    issues.push_back("`type` instruction missing target field. Expected: type <text> into <target>");
}

}  // namespace

std::vector<std::string> validate(std::string_view instruction) {
  const std::string_view raw = text::strip(instruction);
  if (raw.empty()) return {"Instruction is empty."};
  if (std::count(raw.begin(), raw.end(), '"') % 2 != 0)
    return {"Unbalanced quote \u2014 missing closing `\"` in: " + text::quoted(raw)};
  const text::LoweredText low(raw);
  const std::string_view l = low.text();
  const std::string_view first = text::split_first_word(l).word;
  if (!contains(known_actions, first))
    return {"Unknown action " + text::quoted(first) +
            ". Expected one of: click, type, verify, hover, select, press, wait, find, extract, sendkeys."};

  std::vector<std::string> issues;
  if (l.starts_with("type ")) check_type(raw, low, issues);
  // As in parse, a separator that overlaps the keyword ("select from x") does not count.
  if (l.starts_with("select ") && l.find(" from ", 7) == npos)
    issues.push_back("`select` instruction missing `from` keyword. Expected: select <value> from <target>");
  const auto ends_with_state = [&](const auto& states) {
    return std::any_of(states.begin(), states.end(), [&](const StateSuffix& s) { return l.ends_with(s.suffix); });
  };
  if (l.starts_with("verify ") && !l.starts_with("verify text ") && !l.starts_with("verify dialog") &&
      !ends_with_state(verify_states))
    issues.push_back(state_issue("verify", verify_states));
  if (l.starts_with("verify text ") && !starts_with_any(l, directional_text_prefixes) &&
      !ends_with_state(verify_text_states))
    issues.push_back(state_issue("verify text", verify_text_states));
  if (l.starts_with("wait ")) {
    const std::string_view ms = strip_quote_runs(raw.substr(low.source_offset(5)));
    if (!is_whole_number(ms))
      issues.push_back("`wait` value must be a number in milliseconds. Got: " + text::quoted(ms));
  }
  return issues;
}

ValidationReport validate_all(const std::vector<std::string_view>& instructions) {
  ValidationReport report;
  for (std::size_t i = 0; i < instructions.size(); ++i) {
    std::vector<std::string> issues = validate(instructions[i]);
    if (!issues.empty()) report.emplace_back(static_cast<int>(i + 1), std::move(issues));
  }
  return report;
}

}  // namespace vantor::steps
