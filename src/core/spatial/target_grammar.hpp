// The grammar of spatial targets ("second button below email"): a relation
// phrase with the anchor after it, an ordinal word, a type word, and the
// words that name the target itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vocabulary/draw.hpp"
#include "vocabulary/words.hpp"

namespace vantor::spatial {

using Relation = vocabulary::Place;

std::string_view relation_name(Relation r);
// The relation a strategy name stands for; none for any other text.
std::optional<Relation> relation_from_name(std::string_view name);

struct RelationPhrase {
  std::string_view phrase;
  Relation relation;
};

// Relation phrases in table order.
inline constexpr std::array<RelationPhrase, 7> relation_phrases = vocabulary::convert_each(
    vocabulary::pick(vocabulary::place_phrases, {"next to", "below", "under", "above", "left of", "right of", "near"}),
    [](const vocabulary::PlacePhrase& p) {
      return RelationPhrase{p.phrase(), p.place};
    });

using OrdinalWord = vocabulary::OrdinalWord;

// The ordinals up to five, spelled or in digits.
inline constexpr auto ordinal_words = vocabulary::select<vocabulary::ordinal_words, [](const OrdinalWord& o) {
  return o.number >= 1 && o.number <= 5;
}>();

using TypeKeyword = vocabulary::TypeWord;

// The type words that name an element type of the matrix.
inline constexpr auto type_keywords =
    vocabulary::select<vocabulary::type_words, [](const TypeKeyword& t) { return !t.type.empty(); }>();

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
