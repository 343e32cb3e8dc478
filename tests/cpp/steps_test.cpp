// The step reader: unquoting and target clean-up, the parse rules with their
// records, and the issue texts of validation.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "errors.hpp"
#include "steps/parser.hpp"
#include "steps/target_text.hpp"
#include "steps/validator.hpp"

namespace vantor::steps {
// Readable records in failure output.
void PrintTo(const ParsedInstruction& p, std::ostream* os) {
  const auto put = [os](const char* name, const std::optional<std::string>& o) {
    *os << ", " << name << '=';
    if (o)
      *os << '\'' << *o << '\'';
    else
      *os << "null";
  };
  *os << '{' << action_name(p.action);
  put("target", p.target);
  put("value", p.value);
  *os << ", ordinal=";
  if (p.ordinal)
    *os << *p.ordinal;
  else
    *os << '-';
  *os << ", literal=" << p.literal_target << '}';
}
}  // namespace vantor::steps

namespace vs = vantor::steps;
using vs::Action;

namespace {

const std::string dotted_capital_i = "\xC4\xB0";  // U+0130, lowers to two characters
const std::string kelvin = "\xE2\x84\xAA";        // U+212A, lowers to one ASCII byte

TEST(Unquoted, PhrasesAndSpans) {
  const vs::Unquoted none("click Log in");
  EXPECT_EQ(none.text(), "click Log in");
  EXPECT_TRUE(none.spans().empty());
  EXPECT_FALSE(none.is_literal("Log in"));

  const vs::Unquoted two("type \"a b\" into \"a b\" or \"C\"");
  EXPECT_EQ(two.text(), "type a b into a b or C");
  EXPECT_EQ(two.literals(), (std::vector<std::string_view>{"a b", "a b", "C"}));
  ASSERT_EQ(two.spans().size(), 3u);
  EXPECT_EQ(two.spans()[0].begin, 5u);
  EXPECT_EQ(two.spans()[0].end, 8u);
  EXPECT_TRUE(two.is_literal("C"));
  EXPECT_FALSE(two.is_literal("c"));
  EXPECT_FALSE(two.is_literal(" C"));
  EXPECT_FALSE(two.is_literal("a"));
  EXPECT_TRUE(two.overlaps_literal(7, 9));
  EXPECT_FALSE(two.overlaps_literal(8, 14));  // " into " between the phrases
}

TEST(Unquoted, OverlapsFindTheOnePhraseThatCanTouchARange) {
  const vs::Unquoted many("\"ab\" \"cd\" \"ef\"");  // ab cd ef: phrases at [0,2) [3,5) [6,8)
  ASSERT_EQ(many.text(), "ab cd ef");
  const struct {
    std::size_t begin, end;
    bool overlaps;
  } cases[] = {{0, 1, true}, {2, 3, false}, {1, 4, true}, {5, 6, false}, {7, 9, true}, {8, 9, false}, {2, 7, true}};
  for (const auto& c : cases) EXPECT_EQ(many.overlaps_literal(c.begin, c.end), c.overlaps) << c.begin << "," << c.end;
}

TEST(Parse, SeparatorsInsideManyPhrasesPickTheFirstOutside) {
  std::string step = "type ", value;
  for (int i = 0; i < 200; ++i) {
    step += "\"a into b\" ";
    value += value.empty() ? "a into b" : " a into b";
  }
  step += "into Field";
  const vs::ParsedInstruction p = vs::parse(step);
  EXPECT_EQ(p.target, "Field");
  EXPECT_EQ(p.value, value);
}

TEST(Unquoted, EmptyPairsAndOddQuotesStay) {
  struct {
    const char* in;
    const char* text;
    std::vector<std::string_view> literals;
  } const cases[] = {
      {"click \"\" x", "click \"\" x", {}},
      {"a \"b\" \"c", "a b \"c", {"b"}},
      {"\"\"x\"\"", "\"x\"", {"x"}},
      {"\"\"\"y\"", "\"\"y", {"y"}},
      {"say \"two\nlines\"", "say two\nlines", {"two\nlines"}},
      {"it's 'single'", "it's 'single'", {}},
  };
  for (const auto& c : cases) {
    const vs::Unquoted u(c.in);
    EXPECT_EQ(u.text(), c.text) << c.in;
    EXPECT_EQ(u.literals(), c.literals) << c.in;
  }
}

TEST(TargetText, CleanTarget) {
  const std::pair<const char*, const char*> cases[] = {
      {"the button in the footer", "button in the footer"},
      {"The Login", "Login"},
      {"Theatre", "Theatre"},
      {"into Email", "Email"},
      {"  a  AN at on In  big\t red  ", "big red"},
      {"the a an", ""},
      {"", ""},
      {" \xC2\xA0\xE3\x80\x80", ""},
      {"THE\xE3\x80\x80x\xC2\xA0y", "x y"},
      // Only whole words count, however long, and no non-ASCII word is a filler word.
      {"thethethethethethe x", "thethethethethethe x"},
      {"THE_CONTAINER_ROW x", "THE_CONTAINER_ROW x"},
      {"\xEF\xBC\xB4\xEF\xBC\xA8\xEF\xBC\xA5 x", "\xEF\xBC\xB4\xEF\xBC\xA8\xEF\xBC\xA5 x"},
      {"\xC4\xB0n x", "\xC4\xB0n x"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(vs::clean_target(in), out) << in;
}

TEST(TargetText, ExtractOrdinal) {
  const struct {
    const char* in;
    int ordinal;
    const char* rest;
  } cases[] = {
      {"Second  Submit  button ", 2, "Submit  button "},
      {"first", 1, ""},
      {"fifth", 5, ""},
      {"  THIRD row", 3, "row"},
      {"fourth\xE3\x80\x80x", 4, "x"},
      {"sixth row", 1, "sixth row"},
      {"2nd row", 1, "2nd row"},
      {"firstfirstfirstfirst x", 1, "firstfirstfirstfirst x"},
      {"SECONDSECONDSECO x", 1, "SECONDSECONDSECO x"},
      {"\xC4\xB0"
       "first x",
       1,
       "\xC4\xB0"
       "first x"},
      {"button second", 1, "button second"},
      {"", 1, ""},
      {" ", 1, " "},
  };
  for (const auto& c : cases) {
    const vs::OrdinalSplit s = vs::extract_ordinal(c.in);
    EXPECT_EQ(s.ordinal, c.ordinal) << c.in;
    EXPECT_EQ(s.rest, c.rest) << c.in;
  }
}

TEST(TargetText, StripQuoteRuns) {
  const std::pair<const char*, const char*> cases[] = {
      {" \"500\" ", "500"},
      {"'500'", "500"},
      {"\"'500'\"", "500"},
      {"'\"500\"'", "\"500\""},
      {"\"\"\"Control+A\"", "Control+A"},
      {"\"", ""},
      {"\"'\"", ""},
      {"a\"b", "a\"b"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(vs::strip_quote_runs(in), out) << in;
}

struct ParseCase {
  std::string step;
  vs::ParsedInstruction expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.step; }

const std::optional<std::string> null = std::nullopt;

vs::ParsedInstruction rec(Action a, std::optional<std::string> target, std::optional<std::string> value,
                          bool literal = false, std::optional<int> ordinal = std::nullopt) {
  return {a, std::move(target), std::move(value), ordinal, literal};
}

class Parse : public testing::TestWithParam<ParseCase> {};

TEST_P(Parse, BuildsRecord) { EXPECT_EQ(vs::parse(GetParam().step), GetParam().expected) << GetParam().step; }

INSTANTIATE_TEST_SUITE_P(
    Rules, Parse,
    testing::Values(
        ParseCase{"click \"Log in\"", rec(Action::click, "Log in", null, true, 1)},
        ParseCase{"  CLICK Submit ", rec(Action::click, "Submit", null, false, 1)},
        ParseCase{"click second Submit button", rec(Action::click, "Submit button", null, false, 2)},
        ParseCase{"click the Submit", rec(Action::click, "Submit", null, false, 1)},
        ParseCase{"click \"first\"", rec(Action::click, "first", null, true, 1)},
        ParseCase{"click \"the\"", rec(Action::click, "the", null, true, 1)},
        ParseCase{"click the", rec(Action::click, "", null, false, 1)},
        ParseCase{"click sixth row", rec(Action::click, "sixth row", null, false, 1)},
        ParseCase{"click third \"Save\"", rec(Action::click, "Save", null, true, 3)},
        ParseCase{"click first button next to \"Sign up\"",
                  rec(Action::click, "button next to Sign up", null, false, 1)},
        ParseCase{"click \"Log in", rec(Action::click, "\"Log in", null, false, 1)},
        ParseCase{"type standard_user into \"Username\"", rec(Action::type, "Username", "standard_user", true)},
        ParseCase{"type  hello  into the Email", rec(Action::type, "Email", " hello ")},
        ParseCase{"type \"a into b\" into Field", rec(Action::type, "Field", "a into b")},
        ParseCase{"type \"a into b\" into \"c into d\"", rec(Action::type, "c into d", "a into b", true)},
        ParseCase{"type \"x into y\"", rec(Action::type, "y", "x")},
        ParseCase{"Type " + dotted_capital_i + dotted_capital_i + " into " + dotted_capital_i + "l",
                  rec(Action::type, dotted_capital_i + "l", dotted_capital_i + dotted_capital_i)},
        ParseCase{"type " + kelvin + kelvin + " into Field", rec(Action::type, "Field", kelvin + kelvin)},
        ParseCase{"select Red from the Colour", rec(Action::select, "Colour", "Red")},
        ParseCase{"TYPE " + std::string(120, 'V') + " INTO the " + std::string(100, 'T'),
                  rec(Action::type, std::string(100, 'T'), std::string(120, 'V'))},
        ParseCase{"select \"From A from B\" from \"List\"", rec(Action::select, "List", "From A from B", true)},
        ParseCase{"find exact text  The  Title", rec(Action::find_exact_text, " The  Title", null)},
        ParseCase{"find exact text \"Total\"", rec(Action::find_exact_text, "Total", null, true)},
        ParseCase{"find text the Title", rec(Action::find_text, "Title", null)},
        ParseCase{"extract text from the title", rec(Action::extract_text, "title", null, false, 1)},
        ParseCase{"extract_text second \"Price\"", rec(Action::extract_text, "Price", null, true, 2)},
        ParseCase{"extract_text below Name", rec(Action::extract_text_spatial, "below Name", null)},
        ParseCase{"extract text Right Of \"Total\"", rec(Action::extract_text_spatial, "Right Of Total", null)},
        ParseCase{"hover over the menu", rec(Action::hover, "over the menu", null)},
        ParseCase{"hover first \"Menu\"", rec(Action::hover, "first Menu", null)},
        ParseCase{"press  Enter ", rec(Action::press_key, "Enter", null)},
        ParseCase{"Accept Dialog", rec(Action::accept_dialog, null, null)},
        ParseCase{"dismiss dialog", rec(Action::dismiss_dialog, null, null)},
        ParseCase{"verify dialog says Are  you sure?", rec(Action::verify_dialog, null, "Are  you sure?")},
        ParseCase{"sendkeys \"Control+A\"", rec(Action::sendkeys, "Control+A", "Control+A")},
        ParseCase{"sendkeys '\"\"Tab'", rec(Action::sendkeys, "\"\"Tab", "\"\"Tab")},
        ParseCase{"wait 500", rec(Action::wait, "500", null)},
        ParseCase{"wait \"500\"", rec(Action::wait, "500", null)},
        ParseCase{"wait abc", rec(Action::wait, "abc", null)},
        ParseCase{"verify text below Price is 10 is 20", rec(Action::verify_spatial_text, "below Price is 10", "20")},
        ParseCase{"verify text near Total is present", rec(Action::verify_spatial_text, "near Total", "present")},
        ParseCase{"verify text next to \"Potential Returns\" is $29.00",
                  rec(Action::verify_spatial_text, "next to Potential Returns", "$29.00")},
        ParseCase{"verify text the title is present", rec(Action::verify_text_present, "the title", null)},
        ParseCase{"verify text \"Welcome\" IS VISIBLE", rec(Action::verify_text_visible, "Welcome", null, true)},
        ParseCase{"verify the title is present", rec(Action::verify_present, "title", null)},
        ParseCase{"verify \"Products\" is present", rec(Action::verify_present, "Products", null, true)},
        ParseCase{"verify Submit is enabled", rec(Action::verify_enabled, "Submit", null)},
        ParseCase{"verify Submitis disabled", rec(Action::verify_disabled, "Submit", null)},
        ParseCase{"verify text Total is enabled", rec(Action::verify_enabled, "text Total", null)},
        ParseCase{"verify " + dotted_capital_i + "zmir is visible",
                  rec(Action::verify_visible, dotted_capital_i + "zmir", null)},
        ParseCase{"verify " + kelvin + "elvin is visible", rec(Action::verify_visible, kelvin + "elvin", null)}));

// The rejection names the instruction exactly as given, before trimming.
std::string rejection(const std::string& quoted) {
  return "Unrecognised instruction: " + quoted +
         ". Supported actions: ['click', 'type', 'hover', 'select', 'press_key', 'sendkeys', 'extract_text', "
         "'extract_text_spatial', 'find_text', 'find_exact_text', 'verify_present', 'verify_visible', "
         "'verify_enabled', 'verify_disabled', 'verify_text_present', 'verify_text_visible', "
         "'verify_spatial_text', 'accept_dialog', 'dismiss_dialog', 'verify_dialog']";
}

TEST(Parse, RejectsWhatNoRuleAccepts) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "''"},
      {" \t", "' \\t'"},
      {" back ", "' back '"},
      {"refresh", "'refresh'"},
      {"verify dialog", "'verify dialog'"},
      {"verify Submit is hidden", "'verify Submit is hidden'"},
      {"press", "'press'"},
      {"press ", "'press '"},
      {"accept the dialog", "'accept the dialog'"},
      {"type into x", "'type into x'"},
      {"select from x", "'select from x'"},
      {"type hello", "'type hello'"},
      {"verify text below Price", "'verify text below Price'"},
      {"verify text below X is", "'verify text below X is'"},
      {"back it's \"x\"", "'back it\\'s \"x\"'"},
  };
  for (const auto& [step, quoted] : cases) {
    try {
      (void)vs::parse(step);
      ADD_FAILURE() << "accepted: " << step;
    } catch (const vs::UnreadableStep& e) {
      EXPECT_EQ(e.what(), rejection(quoted));
      EXPECT_EQ(e.reason(), "Unrecognised instruction: " + quoted);
    }
  }
}

using Issues = std::vector<std::string>;

const std::string verify_state_issue =
    "`verify` instruction missing state. Expected ending: is present | is visible | is enabled | is disabled";
const std::string verify_text_state_issue =
    "`verify text` instruction missing state. Expected ending: is present | is visible";
const std::string missing_into = "`type` instruction missing `into` keyword. Expected: type <text> into <target>";
const std::string missing_text = "`type` instruction missing text to type. Expected: type <text> into <target>";
const std::string missing_from = "`select` instruction missing `from` keyword. Expected: select <value> from <target>";

TEST(Validate, IssueTexts) {
  const std::pair<std::string, Issues> cases[] = {
      {"", {"Instruction is empty."}},
      {" \t\xE3\x80\x80", {"Instruction is empty."}},
      {"  click \"Log in ", {"Unbalanced quote \u2014 missing closing `\"` in: 'click \"Log in'"}},
      {"\"click\" Login",
       {"Unknown action '\"click\"'. Expected one of: click, type, verify, hover, select, press, "
        "wait, find, extract, sendkeys."}},
      {"Launch it",
       {"Unknown action 'launch'. Expected one of: click, type, verify, hover, select, press, wait, "
        "find, extract, sendkeys."}},
      {"back", {}},
      {"refresh", {}},
      {"accept the dialog", {}},
      {"click \"Log in\"", {}},
      {"type hello Email", {missing_into}},
      {"type  into Email", {missing_text}},
      {"type into x", {missing_text}},
      {"type " + dotted_capital_i + dotted_capital_i + dotted_capital_i + dotted_capital_i + " into x", {}},
      {"type " + kelvin + " into x", {}},
      {"select Red colour", {missing_from}},
      {"select from x", {missing_from}},
      {"select Red from Colour", {}},
      {"verify Submit is hidden", {verify_state_issue}},
      {"verify dialog is open", {}},
      {"verify Submit IS ENABLED", {}},
      {"verify text Total is hidden", {verify_text_state_issue}},
      {"verify text Total is enabled", {verify_text_state_issue}},
      {"verify text under Name is John", {}},
      {"verify text near Name is John", {}},
      {"verify text left Name is John", {}},
      {"verify text next to Name is John", {}},
      {"wait 500", {}},
      {"wait \"500\"", {}},
      {"wait '500'", {}},
      {"wait", {}},
      {"wait \xD9\xA3\xD9\xA0\xD9\xA0", {}},  // Arabic-Indic digits are decimal
      {"wait 1.5", {"`wait` value must be a number in milliseconds. Got: '1.5'"}},
      {"wait -5", {"`wait` value must be a number in milliseconds. Got: '-5'"}},
      {"wait \"\"", {"`wait` value must be a number in milliseconds. Got: ''"}},
      {"wait \xC2\xB9", {"`wait` value must be a number in milliseconds. Got: '\xC2\xB9'"}},
      {"wait it's", {"`wait` value must be a number in milliseconds. Got: \"it's\""}},
  };
  for (const auto& [step, issues] : cases) EXPECT_EQ(vs::validate(step), issues) << step;
}

TEST(Validate, AllReportsOnlyLinesWithIssuesOneBased) {
  EXPECT_TRUE(vs::validate_all({}).empty());
  EXPECT_TRUE(vs::validate_all({"click a", "wait 5"}).empty());
  const vs::ValidationReport report = vs::validate_all({"click a", "", "hover b", "type x", "wait x"});
  ASSERT_EQ(report.size(), 3u);
  EXPECT_EQ(report[0], (std::pair<int, Issues>{2, {"Instruction is empty."}}));
  EXPECT_EQ(report[1], (std::pair<int, Issues>{4, {missing_into}}));
  EXPECT_EQ(report[2].first, 5);
}

}  // namespace
