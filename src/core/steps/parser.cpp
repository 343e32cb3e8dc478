#include "steps/parser.hpp"

#include <optional>
#include <utility>

#include "steps/target_text.hpp"
#include "text/case.hpp"
#include "text/quoted.hpp"
#include "text/whitespace.hpp"

namespace vantor::steps {
namespace {

constexpr auto npos = std::string_view::npos;

// One parse call's view of its step. Keywords are tested on the lowered text;
// everything that goes into the record is cut from the unquoted text at the
// same places, so it keeps the user's letter case.
class Step {
 public:
  explicit Step(std::string_view trimmed) : unquoted_(trimmed), lowered_(unquoted_.text()) {}

  std::string_view lowered() const { return lowered_.text(); }
  bool starts(std::string_view keyword) const { return lowered().starts_with(keyword); }

  // The unquoted text from the place of lowered position pos, and between two such places.
  std::string_view from(std::size_t pos) const { return unquoted().substr(at(pos)); }
  std::string_view between(std::size_t begin, std::size_t end) const {
    return begin < end ? unquoted().substr(at(begin), at(end) - at(begin)) : std::string_view{};
  }

  bool is_literal(std::string_view target) const { return unquoted_.is_literal(target); }

  // The text itself when the user quoted exactly it, otherwise without filler words.
  std::string literal_or_cleaned(std::string_view text) const {
    return is_literal(text) ? std::string(text) : clean_target(text);
  }

  // The first separator after a keyword that lies outside every quoted
  // phrase, so that a quoted value may contain the separator itself; the
  // first one when all lie inside quotes; npos when there is none.
  std::size_t find_separator(std::string_view separator, std::size_t after) const {
    const std::size_t first = lowered().find(separator, after);
    for (std::size_t pos = first; pos != npos; pos = lowered().find(separator, pos + 1))
      if (!unquoted_.overlaps_literal(at(pos), at(pos + separator.size()))) return pos;
    return first;
  }

 private:
  std::string_view unquoted() const { return unquoted_.text(); }
  std::size_t at(std::size_t lowered_pos) const { return lowered_.source_offset(lowered_pos); }

  Unquoted unquoted_;
  text::LoweredText lowered_;
};

using Result = std::optional<ParsedInstruction>;

// A record whose target is never literal.
ParsedInstruction make(Action action, std::optional<std::string> target, std::optional<std::string> value) {
  return ParsedInstruction{action, std::move(target), std::move(value), std::nullopt, false};
}

// A record whose _literal_target says whether its target is one of the quoted phrases.
ParsedInstruction with_literal_test(const Step& s, Action action, std::string target,
                                    std::optional<std::string> value = std::nullopt,
                                    std::optional<int> ordinal = std::nullopt) {
  const bool literal = s.is_literal(target);
  return ParsedInstruction{action, std::move(target), std::move(value), ordinal, literal};
}

// type <value> into <target> and select <option> from <target>.
Result value_and_target(const Step& s, Action action, std::string_view keyword, std::string_view separator) {
  if (!s.starts(keyword) || s.lowered().find(separator) == npos) return std::nullopt;
  const std::size_t sep = s.find_separator(separator, keyword.size());
  if (sep == npos) return std::nullopt;  // the separator only overlaps the keyword: "type into x"
  const std::string_view raw_target = s.from(sep + separator.size());
  const std::string_view trimmed = text::strip(raw_target);
  return with_literal_test(s, action, s.is_literal(trimmed) ? std::string(trimmed) : clean_target(raw_target),
                           std::string(s.between(keyword.size(), sep)));
}

Result find_text(const Step& s) {
  constexpr std::string_view exact = "find exact text ", plain = "find text ";
  if (s.starts(exact)) return with_literal_test(s, Action::find_exact_text, std::string(s.from(exact.size())));
  if (s.starts(plain)) return with_literal_test(s, Action::find_text, s.literal_or_cleaned(s.from(plain.size())));
  return std::nullopt;
}

// The ordinal and target of click and extract_text. A target that is one
// quoted phrase as a whole is the element's name: no ordinal is taken off it,
// so click "first" looks for an element named first.
ParsedInstruction ordinal_target(const Step& s, Action action, std::string_view raw) {
  const std::string_view whole = text::strip(raw);
  if (s.is_literal(whole)) return with_literal_test(s, action, std::string(whole), std::nullopt, 1);
  const OrdinalSplit split = extract_ordinal(raw);
  return with_literal_test(s, action, s.literal_or_cleaned(split.rest), std::nullopt, split.ordinal);
}

Result extract_text(const Step& s) {
  constexpr std::size_t prefix_length = 13;  // "extract text " and "extract_text "
  if (!s.starts("extract text ") && !s.starts("extract_text ")) return std::nullopt;
  const std::string_view rest = s.lowered().substr(prefix_length);
  if (starts_with_any(rest, spatial_keywords))
    return make(Action::extract_text_spatial, std::string(s.from(prefix_length)), std::nullopt);
  const std::size_t start = rest.starts_with("from ") ? prefix_length + 5 : prefix_length;
  return ordinal_target(s, Action::extract_text, s.from(start));
}

Result element_action(const Step& s) {
  if (s.starts("click ")) return ordinal_target(s, Action::click, s.from(6));
  if (s.starts("hover ")) return with_literal_test(s, Action::hover, s.literal_or_cleaned(s.from(6)));
  if (s.starts("press ")) return make(Action::press_key, std::string(text::strip(s.from(6))), std::nullopt);
  return std::nullopt;
}

Result dialog(const Step& s) {
  if (s.lowered() == "accept dialog") return make(Action::accept_dialog, std::nullopt, std::nullopt);
  if (s.lowered() == "dismiss dialog") return make(Action::dismiss_dialog, std::nullopt, std::nullopt);
  constexpr std::string_view says = "verify dialog says ";
  if (s.starts(says)) return make(Action::verify_dialog, std::nullopt, std::string(s.from(says.size())));
  return std::nullopt;
}

Result keys_and_wait(const Step& s) {
  if (s.starts("sendkeys ")) {
    const std::string keys(strip_quote_runs(s.from(9)));
    return make(Action::sendkeys, keys, keys);
  }
  if (s.starts("wait ")) return make(Action::wait, std::string(strip_quote_runs(s.from(5))), std::nullopt);
  return std::nullopt;
}

// verify text <relation> <anchor> is <expected>: split at the last " is ".
Result verify_spatial_text(const Step& s) {
  constexpr std::size_t prefix_length = 12;  // "verify text "
  if (!s.starts("verify text ") || !starts_with_any(s.lowered().substr(prefix_length), spatial_keywords))
    return std::nullopt;
  const std::size_t is = s.lowered().rfind(" is ");
  if (is == npos || is < prefix_length) return std::nullopt;
  const std::string_view target = text::strip(s.between(prefix_length, is));
  const std::string_view expected = text::strip(s.from(is + 4));
  if (target.empty() || expected.empty()) return std::nullopt;
  return make(Action::verify_spatial_text, std::string(target), std::string(expected));
}

Result verify_state(const Step& s, std::string_view prefix, const auto& states, bool clean) {
  if (!s.starts(prefix)) return std::nullopt;
  const std::string_view lowered = s.lowered();
  for (const StateSuffix& state : states) {
    if (!lowered.ends_with(state.suffix)) continue;
    const std::string_view raw = text::strip(s.between(prefix.size(), lowered.size() - state.suffix.size()));
    return with_literal_test(s, state.action, clean ? s.literal_or_cleaned(raw) : std::string(raw));
  }
  return std::nullopt;
}

}  // namespace

ParsedInstruction parse(std::string_view instruction) {
  const Step step(text::strip(instruction));
  if (Result r = value_and_target(step, Action::type, "type ", " into ")) return std::move(*r);
  if (Result r = value_and_target(step, Action::select, "select ", " from ")) return std::move(*r);
  if (Result r = find_text(step)) return std::move(*r);
  if (Result r = extract_text(step)) return std::move(*r);
  if (Result r = element_action(step)) return std::move(*r);
  if (Result r = dialog(step)) return std::move(*r);
  if (Result r = keys_and_wait(step)) return std::move(*r);
  if (Result r = verify_spatial_text(step)) return std::move(*r);
  // Text states leave the target as written; element states drop filler words.
  if (Result r = verify_state(step, "verify text ", verify_text_states, false)) return std::move(*r);
  if (Result r = verify_state(step, "verify ", verify_states, true)) return std::move(*r);
  throw UnreadableStep("Unrecognised instruction: " + text::quoted(instruction));
}

UnreadableStep::UnreadableStep(std::string reason)
    : ValueError(reason + supported_actions_tail()), reason_(std::move(reason)) {}

}  // namespace vantor::steps
