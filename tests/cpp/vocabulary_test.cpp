// The readers' shared words: what one reader hands on, the next must know,
// and phrase searches that take the first hit try the longest phrase first.
#include "steps/vocabulary.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <string_view>

#include "matching/tables.hpp"
#include "spatial/target_grammar.hpp"
#include "vocabulary/draw.hpp"

namespace {

using Words = std::set<std::string_view>;

Words grammar_phrases(bool with_near) {
  Words out;
  for (const auto& r : vantor::spatial::relation_phrases)
    if (with_near || r.relation != vantor::spatial::Relation::near) out.insert(r.phrase);
  return out;
}

// A step the reader sends to the spatial grammar opens with one of its
// phrases; the grammar must read every one.
TEST(SharedWords, TheReadersSpatialKeywordsAreTheGrammarsPhrases) {
  Words keywords;
  for (std::string_view k : vantor::steps::spatial_keywords) {
    ASSERT_TRUE(k.ends_with(' ')) << k;
    keywords.insert(k.substr(0, k.size() - 1));
  }
  EXPECT_EQ(keywords, grammar_phrases(true));
}

TEST(SharedWords, DirectionalTextKnowsEveryGrammarPhraseThatNamesASide) {
  Words directions;
  for (const auto& d : vantor::matching::direction_phrases) directions.insert(d.phrase);
  EXPECT_EQ(directions, grammar_phrases(false));
}

TEST(SharedWords, AnOrdinalTheReaderCountsCountsTheSameInTheGrammar) {
  for (const auto& o : vantor::steps::ordinal_words) {
    const auto* found = std::find_if(vantor::spatial::ordinal_words.begin(), vantor::spatial::ordinal_words.end(),
                                     [&](const auto& g) { return g.word == o.word; });
    ASSERT_NE(found, vantor::spatial::ordinal_words.end()) << o.word;
    EXPECT_EQ(found->number, o.number) << o.word;
  }
}

struct Phrase {
  std::string_view text;
  int row;  // the place it had in the table
};

TEST(LongestFirst, LongerPhrasesComeFirstAndEqualLengthsKeepTheirOrder) {
  constexpr std::array<Phrase, 6> table = {{
      {"near", 0},
      {"below", 1},
      {"right of", 2},
      {"under", 3},
      {"next to", 4},
      {"left of", 5},
  }};
  constexpr auto sorted = vantor::vocabulary::longest_first(table, [](const Phrase& p) { return p.text; });
  std::string order;
  for (const Phrase& p : sorted) order += std::to_string(p.row);
  EXPECT_EQ(order, "245130");
}

}  // namespace
