// Text primitives: they must agree byte for byte with what the host Python's
// str.lower(), str.strip(), str.split() and repr() give for the same text.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "text/case.hpp"
#include "text/quoted.hpp"
#include "text/whitespace.hpp"

namespace vt = vantor::text;

namespace {

// Adjacent literals keep a hex escape from swallowing the letter after it.
const std::string nbsp = "\xC2\xA0";                   // U+00A0
const std::string nel = "\xC2\x85";                    // U+0085
const std::string ideographic_space = "\xE3\x80\x80";  // U+3000
const std::string four_per_em = "\xE2\x80\x85";        // U+2005
const std::string zwsp = "\xE2\x80\x8B";               // U+200B, not whitespace
const std::string bom = "\xEF\xBB\xBF";                // U+FEFF, not whitespace
const std::string a_ogonek = "\xC4\x85";               // U+0105, ends in the same byte as U+0085
const std::string dotted_capital_i = "\xC4\xB0";       // U+0130
const std::string kelvin = "\xE2\x84\xAA";             // U+212A
const std::string lone_surrogate = "\xED\xA0\x80";     // U+D800 as Python strings may carry it

struct Case {
  std::string in, out;
};

// Short, stable names for the generated tests.
void PrintTo(const Case& c, std::ostream* os) { *os << vt::quoted(c.in); }

class Lower : public testing::TestWithParam<Case> {};

TEST_P(Lower, MatchesStrLower) { EXPECT_EQ(vt::lower(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(Cases, Lower,
                         testing::Values(Case{"Hello, WORLD 42", "hello, world 42"}, Case{"", ""},
                                         Case{"@AZ[`az{~\x7f", "@az[`az{~\x7f"},
                                         Case{std::string(200, 'Q') + "\xC3\x89", std::string(200, 'q') + "\xC3\xA9"},
                                         Case{"İSTANBUL", "i\xCC\x87stanbul"}, Case{kelvin + "m", "km"},
                                         Case{"\xE2\x84\xAB", "å"}, Case{"\xE2\x84\xA6", "ω"}, Case{"ẞ", "ß"},
                                         Case{"ǅ", "ǆ"}, Case{"ÀÉÎ", "àéî"}, Case{lone_surrogate, lone_surrogate},
                                         // Final sigma: after a cased letter and before none, looking past
                                         // case-ignorable characters (apostrophe, full stop, combining marks).
                                         Case{"ΟΔΟΣ", "οδος"}, Case{"ΟΔΟΣ ΚΑΙ", "οδος και"}, Case{"Σ", "σ"},
                                         Case{"ΣΑ", "σα"}, Case{"ΑΣΑ", "ασα"}, Case{"Α'Σ", "α'ς"}, Case{"ΑΣ'", "ας'"},
                                         Case{"ΑΣ'Α", "ασ'α"}, Case{"ΑΣ.Β", "ασ.β"}, Case{"1Σ", "1σ"},
                                         Case{"ΑΣ1", "ας1"}, Case{"AΣ", "aς"}, Case{"Α\xCC\x81Σ", "α\xCC\x81ς"},
                                         Case{"ΣΣ", "σς"}, Case{"Α Σ", "α σ"}));

TEST(LoweredText, AsciiOffsetsAreIdentity) {
  const vt::LoweredText low("AbC d");
  EXPECT_EQ(low.text(), "abc d");
  for (std::size_t i = 0; i <= 5; ++i) EXPECT_EQ(low.source_offset(i), i);
}

TEST(LoweredText, LongTextsLowerWhole) {
  for (std::size_t n : {95u, 96u, 97u, 300u}) {
    std::string source(n, 'B'), expected(n, 'b');
    source[1] = 'x';
    expected[1] = 'x';
    const vt::LoweredText low(source);
    EXPECT_EQ(low.text(), expected) << n;
    EXPECT_EQ(low.source_offset(n), n);
  }
  const std::string mixed = std::string(150, 'X') + dotted_capital_i + "Y";
  const vt::LoweredText low(mixed);
  EXPECT_EQ(low.text(), std::string(150, 'x') + "i\xCC\x87y");
  EXPECT_EQ(low.source_offset(153), 152u);
  EXPECT_EQ(low.source_offset(154), 153u);
}

TEST(LoweredText, ExpansionMapsEveryByteToItsSourceCharacter) {
  // "İx": İ (2 bytes) lowers to i + U+0307 (3 bytes).
  const vt::LoweredText low(dotted_capital_i + "X");
  ASSERT_EQ(low.text(), "i\xCC\x87x");
  const std::vector<std::size_t> expected = {0, 0, 0, 2, 3};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(low.source_offset(i), expected[i]) << i;
}

TEST(LoweredText, ShrinkingCharacterMapsForward) {
  // The Kelvin sign (3 bytes) lowers to one ASCII byte.
  const vt::LoweredText low("a" + kelvin + "B");
  ASSERT_EQ(low.text(), "akb");
  const std::vector<std::size_t> expected = {0, 1, 4, 5};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(low.source_offset(i), expected[i]) << i;
}

TEST(LoweredText, SameLengthMultiByteKeepsOffsets) {
  const vt::LoweredText low("ÉtÉ");
  ASSERT_EQ(low.text(), "été");
  for (std::size_t i : {0u, 2u, 3u, 5u}) EXPECT_EQ(low.source_offset(i), i);
  EXPECT_EQ(low.source_offset(1), 0u);
}

class Strip : public testing::TestWithParam<Case> {};

TEST_P(Strip, MatchesStrStrip) { EXPECT_EQ(vt::strip(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Strip,
    testing::Values(Case{"  a b \t\n", "a b"}, Case{"\v\f\r x \x1c\x1d\x1e\x1f", "x"}, Case{nbsp + "x" + nbsp, "x"},
                    Case{ideographic_space + "x" + ideographic_space, "x"}, Case{nel + "x" + nel, "x"},
                    Case{four_per_em + "x" + four_per_em, "x"}, Case{"\xE2\x80\xA8x\xE2\x80\xA9", "x"},
                    Case{"\xE1\x9A\x80x", "x"}, Case{zwsp + "x" + zwsp, zwsp + "x" + zwsp}, Case{bom + "x", bom + "x"},
                    Case{"x" + a_ogonek, "x" + a_ogonek}, Case{a_ogonek + " ", a_ogonek},
                    Case{"x" + lone_surrogate + " ", "x" + lone_surrogate}, Case{" \t ", ""}, Case{"", ""}));

TEST(Strip, OneSidedVariants) {
  const std::string s = nbsp + " x " + ideographic_space;
  EXPECT_EQ(vt::lstrip(s), "x " + ideographic_space);
  EXPECT_EQ(vt::rstrip(s), nbsp + " x");
}

TEST(Split, WordsAtAnyUnicodeWhitespace) {
  const std::string s = " a" + ideographic_space + "b" + nbsp + nbsp + "c\x1f" + "d" + nel + "e" + zwsp + "f ";
  const std::string joined = "e" + zwsp + "f";
  const std::vector<std::string_view> expected = {"a", "b", "c", "d", joined};
  EXPECT_EQ(vt::split(s), expected);
  EXPECT_TRUE(vt::split(" \t" + nbsp).empty());
}

TEST(SplitFirstWord, RestStartsAtNextWordAndKeepsTrailingSpace) {
  auto r = vt::split_first_word("  Second   Submit  button  ");
  EXPECT_EQ(r.word, "Second");
  EXPECT_EQ(r.rest, "Submit  button  ");
  // The results view their input: keep each input alive while they are read.
  const std::string only = "only" + ideographic_space;
  r = vt::split_first_word(only);
  EXPECT_EQ(r.word, "only");
  EXPECT_EQ(r.rest, "");
  const std::string blank = " " + nbsp;
  r = vt::split_first_word(blank);
  EXPECT_TRUE(r.word.empty());
  EXPECT_TRUE(r.rest.empty());
}

class Quoted : public testing::TestWithParam<Case> {};

TEST_P(Quoted, MatchesRepr) { EXPECT_EQ(vt::quoted(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(Cases, Quoted,
                         testing::Values(Case{"abc", "'abc'"}, Case{"", "''"}, Case{"it's", "\"it's\""},
                                         Case{"say \"hi\"", "'say \"hi\"'"}, Case{"it's \"x\"", "'it\\'s \"x\"'"},
                                         Case{"a\\b", "'a\\\\b'"}, Case{"\t\n\r", "'\\t\\n\\r'"},
                                         Case{std::string("\x00\x7f\x1b", 3), "'\\x00\\x7f\\x1b'"},
                                         Case{nel + nbsp + "é", "'\\x85\\xa0é'"}, Case{"\xC2\xAD", "'\\xad'"},
                                         Case{zwsp + ideographic_space + bom, "'\\u200b\\u3000\\ufeff'"},
                                         Case{"\xE2\x80\xA8", "'\\u2028'"}, Case{"\xF3\xA0\x80\x81", "'\\U000e0001'"},
                                         Case{"😀 ü 日本", "'😀 ü 日本'"}, Case{lone_surrogate, "'\\ud800'"},
                                         Case{"\xED\xBF\xBF", "'\\udfff'"}));

}  // namespace
