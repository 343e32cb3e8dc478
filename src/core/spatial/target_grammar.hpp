// The grammar of spatial targets ("second button below email"): a relation
// phrase with the anchor after it, an ordinal word, a type word, and the
// words that name the target itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::spatial {

enum class Relation : std::uint8_t { next_to, below, above, left, right, near };

std::string_view relation_name(Relation r);
// The relation a strategy name stands for; none for any other text.
std::optional<Relation> relation_from_name(std::string_view name);

struct RelationPhrase {
  std::string_view phrase;
  Relation relation;
};

// Relation phrases in table order.
inline constexpr std::array<RelationPhrase, 7> relation_phrases = {{
    {"next to", Relation::next_to},
    {"below", Relation::below},
    {"under", Relation::below},
    {"above", Relation::above},
    {"left of", Relation::left},
    {"right of", Relation::right},
    {"near", Relation::near},
}};

struct OrdinalWord {
  std::string_view word;
  std::int64_t number;
};

inline constexpr std::array<OrdinalWord, 10> ordinal_words = {{
    {"first", 1},
    {"second", 2},
    {"third", 3},
    {"fourth", 4},
    {"fifth", 5},
    {"1st", 1},
    {"2nd", 2},
    {"3rd", 3},
    {"4th", 4},
    {"5th", 5},
}};

struct TypeKeyword {
  std::string_view word;
  std::string_view type;  // an element type of the matrix
};

inline constexpr std::array<TypeKeyword, 9> type_keywords = {{
    {"button", "button"},
    {"btn", "button"},
    {"link", "link"},
    {"anchor", "link"},
    {"input", "input"},
    {"field", "input"},
    {"textbox", "input"},
    {"select", "select"},
    {"dropdown", "select"},
}};

inline constexpr std::array<std::string_view, 3> articles = {"the", "a", "an"};

struct SpatialTarget {
  std::optional<std::string> anchor_text;  // may be empty: the relation phrase ended the target
  std::optional<Relation> relation;
  std::optional<std::string_view> type_filter;
  std::optional<std::int64_t> ordinal;
  std::optional<std::string> search_text;  // only for an ordinal target without anchor
  std::optional<std::string> target_text;  // the words before the relation phrase

  bool has_anchor() const { return anchor_text && !anchor_text->empty(); }
};

// Splits a target phrase into its parts. implied_ordinal stands in for an
// ordinal word when the target names none: the instruction reader moves a
// leading ordinal word out of the target into the instruction's own ordinal.
SpatialTarget parse_target(std::string_view target, std::optional<std::int64_t> implied_ordinal = std::nullopt);

// Lower case without blanks and hyphens: "Sign-In Now" is "signinnow".
std::string normalize(std::string_view text);
// The same, into out (its storage reused: no allocation per text in a loop).
void normalize_into(std::string_view text, std::string& out);

}  // namespace vantor::spatial
