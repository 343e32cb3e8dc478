#include "roles/rule_text.hpp"

#include "text/quoted.hpp"

namespace vantor::roles {
namespace {

std::string_view subject(const Named& named, bool role_kept, bool text) {
  if (text) return "text";
  return role_kept && !named.said.empty() ? named.said : std::string_view("element");
}

std::string_view how(Rank rank, bool text) {
  if (text) {
    switch (rank.tier) {
      case Tier::exact:
        return "showing exactly";
      case Tier::starts:
        return "starting with";
      case Tier::words:
        return "showing the words";
      default:
        return "containing";
    }
  }
  static constexpr std::string_view by_source[4][4] = {
      {"named exactly", "named starting with", "named with the words", "named containing"},
      {"labelled exactly", "labelled starting with", "labelled with the words", "labelled containing"},
      {"with the placeholder, title, alt text or test id",
       "with a placeholder, title, alt text or test id starting with",
       "with a placeholder, title, alt text or test id with the words",
       "with a placeholder, title, alt text or test id containing"},
      {"with attribute words exactly", "with attribute words starting with", "with the attribute words",
       "with attribute words containing"},
  };
  const auto tier = static_cast<std::size_t>(rank.tier == Tier::none ? Tier::contains : rank.tier);
  return by_source[static_cast<std::size_t>(rank.source)][tier];
}

}  // namespace

std::string ordinal_text(int ordinal) {
  if (ordinal < 0) return "last";
  const int tens = ordinal % 100;
  const char* suffix = (tens >= 11 && tens <= 13) ? "th"
                       : ordinal % 10 == 1        ? "st"
                       : ordinal % 10 == 2        ? "nd"
                       : ordinal % 10 == 3        ? "rd"
                                                  : "th";
  return std::to_string(ordinal) + suffix;
}

namespace {

std::string with_row(std::string rule, const RuleParts& parts) {
  if (!parts.row) return rule;
  return rule + " in the row of " + describe_named(*parts.row, parts.row->roles != 0);
}

}  // namespace

std::string describe_named(const Named& named, bool role_kept) {
  std::string out(subject(named, role_kept, false));
  if (!named.name.empty() || !role_kept) out += " " + text::quoted(role_kept ? named.name : named.whole);
  return out;
}

std::string describe(const RuleParts& parts, Rank rank, int ordinal, std::size_t rivals) {
  std::string rule;
  if (ordinal != 1) rule = "the " + ordinal_text(ordinal) + " ";
  rule += subject(parts.what, parts.role_kept, parts.text);
  const std::string_view name = parts.role_kept ? parts.what.name : parts.what.whole;
  if (!name.empty()) rule += " " + std::string(how(rank, parts.text)) + " " + text::quoted(name);
  if (ordinal != 1) rule += " in reading order";
  rule = with_row(rule, parts);
  if (rivals > 1) rule += ", the first of " + std::to_string(rivals) + " in reading order";
  return rule;
}

std::string describe_missing(const RuleParts& parts) {
  const std::string_view name = parts.role_kept ? parts.what.name : parts.what.whole;
  std::string rule = "no " + std::string(subject(parts.what, parts.role_kept, parts.text));
  if (!name.empty()) rule += " " + std::string(parts.text ? "containing" : "named") + " " + text::quoted(name);
  return with_row(rule, parts);
}

std::string describe_too_few(const RuleParts& parts, int ordinal, std::size_t found) {
  return "no " + ordinal_text(ordinal) + " " + with_row(describe_named(parts.what, parts.role_kept), parts) +
         ": only " + std::to_string(found) + " in reading order";
}

double confidence_of(Rank rank) {
  if (rank.source == Source::fallback) return 0.5;
  switch (rank.tier) {
    case Tier::exact:
      return 1.0;
    case Tier::starts:
      return 0.9;
    case Tier::words:
      return 0.8;
    default:
      return 0.7;
  }
}

}  // namespace vantor::roles
