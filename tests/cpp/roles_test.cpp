// The role matcher: folding, name tiers, reading a target, reading order and
// the rules that pick an element by role and accessible name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "roles/fold.hpp"
#include "roles/rank.hpp"
#include "roles/reading_order.hpp"
#include "roles/resolve.hpp"
#include "roles/target.hpp"

namespace vantor::roles {
namespace {

TEST(FoldName, FoldsCaseTypographicMarksAndSpaces) {
  const std::pair<std::string, std::string> cases[] = {
      {"Yes, I\u2019m sure", "yes, i'm sure"},
      {"  Save\n\t changes ", "save changes"},
      {"\u201CQuoted\u201D", "\"quoted\""},
      {"Add\u2013to\u2014cart", "add-to-cart"},
      {"soft\u00ADhyphen", "softhyphen"},
      {"\u0130stanbul", "i\u0307stanbul"},  // as Python's str.lower() has it
      {"", ""},
  };
  for (const auto& [text, folded] : cases) EXPECT_EQ(fold_name(text), folded) << text;
}

TEST(TierOf, ExactBeatsStartsBeatsWordsBeatsContains) {
  struct Case {
    std::string surface, name;
    Tier tier;
  };
  const Case cases[] = {
      {"search", "search", Tier::exact},
      {"search products", "search", Tier::starts},
      {"quick search", "search", Tier::words},
      {"research", "search", Tier::contains},
      {"searchbox", "search", Tier::contains},  // a prefix that is no whole word is no start
      {"edit", "search", Tier::none},
      {"anything", "", Tier::exact},  // no name: every element of the role
      {"caf\u00e9 menu", "caf", Tier::contains},
  };
  for (const Case& c : cases) EXPECT_EQ(tier_of(c.surface, c.name), c.tier) << c.surface << " / " << c.name;
}

TEST(ReadTarget, RoleWordsLeaveTheName) {
  struct Case {
    std::string target, name;
    RoleSet roles;
  };
  const Case cases[] = {
      {"Search button", "search", role::button},
      {"the Weekly summary radio button", "weekly summary", role::radio},
      {"Email field", "email", role::text_entry},
      {"Country dropdown", "country", role::choices},
      {"Customer column header", "customer", role::columnheader},
      {"over the Export menu", "export", role::menu | role::menuitem | role::button},
      {"that the Name column header", "name", role::columnheader},
      {"checkbox", "", role::checkbox},
      {"Go", "go", 0},
  };
  for (const Case& c : cases) {
    const Target t = read_target(c.target, false, 1);
    EXPECT_EQ(t.what.name, c.name) << c.target;
    EXPECT_EQ(t.what.roles, c.roles) << c.target;
    EXPECT_FALSE(t.spatial) << c.target;
  }
}

TEST(ReadTarget, OrdinalsRowsPlacesAndQuotes) {
  const Target third = read_target("third Edit link", false, 1);
  EXPECT_EQ(third.ordinal, 3);
  EXPECT_TRUE(third.counted);
  EXPECT_EQ(third.what.name, "edit");
  EXPECT_EQ(read_target("the 2nd Open link", false, 1).ordinal, 2);
  EXPECT_EQ(read_target("last row", false, 1).ordinal, last_ordinal);
  EXPECT_EQ(read_target("All link", false, 2).ordinal, 2);

  for (const char* phrase : {"next to", "in the row of", "for", "beside", "in the same row as"}) {
    const Target row = read_target(std::string("the checkbox ") + phrase + " Chef Knife", false, 1);
    EXPECT_TRUE(row.has_row) << phrase;
    EXPECT_EQ(row.what.roles, role::checkbox) << phrase;
    EXPECT_EQ(row.row.name, "chef knife") << phrase;
    EXPECT_EQ(row.plain.whole, std::string("checkbox ") + phrase + " chef knife") << phrase;
  }

  const Target below = read_target("the field below New password", false, 1);
  EXPECT_TRUE(below.spatial);
  EXPECT_EQ(below.direction, Direction::below);
  EXPECT_EQ(below.what.roles, role::text_entry);
  EXPECT_EQ(below.anchor.name, "new password");
  EXPECT_EQ(read_target("dropdown to the right of Kitchen", false, 1).direction, Direction::right);

  const Target quoted = read_target("Remove from sorting button", true, 1);
  EXPECT_EQ(quoted.what.name, "remove from sorting button");
  EXPECT_EQ(quoted.what.roles, 0u);
}

TEST(ReadingOrder, LinesTopToBottomThenLeftToRight) {
  const std::vector<Box> boxes = {
      {200, 12, 10, 10, true},  // line 1, right
      {10, 50, 10, 10, true},   // line 2
      {0, 0, 0, 0, false},      // hidden: last
      {20, 10, 10, 10, true},   // line 1, left (2 px higher than its neighbour)
  };
  EXPECT_EQ(reading_positions(boxes), (std::vector<std::size_t>{1, 2, 3, 0}));
}

TEST(XPaths, NestingAndSharedDepth) {
  EXPECT_TRUE(nested("/html[1]/body[1]/tr[1]", "/html[1]/body[1]/tr[1]/td[2]"));
  EXPECT_FALSE(nested("/html[1]/body[1]/tr[1]", "/html[1]/body[1]/tr[10]"));
  EXPECT_EQ(shared_depth("/html[1]/body[1]/tr[1]/td[1]", "/html[1]/body[1]/tr[1]/td[3]"), 3u);
  EXPECT_EQ(shared_depth("/html[1]/body[1]/tr[1]", "/html[1]/body[1]/tr[10]"), 2u);
  EXPECT_EQ(shared_depth("/html[1]/body[1]", "/html[1]/body[1]"), 2u);
}

// A page as the rules see it, built element by element.
struct Page {
  std::vector<Candidate> all;

  Candidate& add(std::string tag, std::string name, double x, double y, std::string xpath = "") {
    Candidate c;
    c.index = all.size();
    c.tag = std::move(tag);
    c.name = c.text = std::move(name);
    c.box = {x, y, 40, 20, true};
    c.visible = c.enabled = true;
    c.xpath = xpath.empty() ? "/html[1]/body[1]/x[" + std::to_string(all.size() + 1) + "]" : std::move(xpath);
    all.push_back(c);
    return all.back();
  }

  Outcome ask(std::string action, std::string target, int ordinal = 1) const {
    return resolve({action, target, false, ordinal}, all);
  }
};

TEST(Resolve, AButtonNamedExactlyBeatsASearchBoxOfThatType) {
  Page p;
  Candidate& box = p.add("input", "", 0, 0);
  box.type = "search";
  box.fallback_words = "search searchbar";
  box.placeholder = "Search orders";
  p.add("input", "Search", 50, 0).type = "submit";
  for (const char* target : {"Search", "Search button"}) {
    const Outcome o = p.ask("click", target);
    ASSERT_TRUE(o.resolved) << target;
    EXPECT_EQ(*o.element, 1u) << target;
    EXPECT_FALSE(o.ambiguous);
  }
  EXPECT_EQ(p.ask("click", "Search button").rule, "button named exactly 'search'");
  EXPECT_EQ(*p.ask("type", "Search").element, 0u);  // a field for typing, by its placeholder
}

TEST(Resolve, ChecksPreferAnExactNameToOneThatContainsIt) {
  Page p;
  p.add("button", "Delete selected", 0, 0);
  p.add("a", "Delete", 0, 40);
  const Outcome o = p.ask("verify_visible", "Delete link");
  ASSERT_TRUE(o.resolved);
  EXPECT_EQ(*o.element, 1u);
  EXPECT_EQ(o.family, Family::check);
  EXPECT_TRUE(o.verified);
  EXPECT_EQ(*p.ask("verify_present", "Delete").element, 1u);
}

TEST(Resolve, TogglesAndSelectsAnswerToTheirLabels) {
  Page p;
  Candidate& remember = p.add("input", "Remember me", 0, 0);
  remember.type = "checkbox";
  remember.text = "";
  Candidate& country = p.add("select", "Country", 0, 40);
  country.text = "France Germany Country Club";  // a select's text is all of its options
  Candidate& kitchen = p.add("input", "Kitchen", 0, 80);
  kitchen.role = "combobox";
  p.add("a", "Country Club", 0, 120);
  EXPECT_EQ(*p.ask("click", "Remember me").element, 0u);
  EXPECT_EQ(*p.ask("click", "the Remember me checkbox").element, 0u);
  EXPECT_EQ(*p.ask("select", "Country").element, 1u);
  EXPECT_EQ(*p.ask("select", "Kitchen combobox").element, 2u);
  EXPECT_EQ(*p.ask("type", "Kitchen").element, 2u);
  EXPECT_FALSE(p.ask("type", "Country").resolved);  // a select takes no typing
  EXPECT_EQ(*p.ask("click", "Country Club").element, 3u);
}

TEST(Resolve, OrdinalsCountInReadingOrderAmongTheBestRanked) {
  Page p;
  p.add("a", "Edit", 0, 100);
  p.add("a", "Edit", 0, 50);
  p.add("a", "Edit profile", 0, 10);  // starts with the name: ranked below every exact one
  p.add("a", "Edit", 0, 150);
  EXPECT_EQ(*p.ask("click", "Edit link", 2).element, 0u);
  EXPECT_EQ(*p.ask("click", "third Edit link").element, 3u);
  EXPECT_EQ(*p.ask("click", "last Edit link").element, 3u);
  const Outcome too_far = p.ask("click", "fourth Edit link");
  EXPECT_FALSE(too_far.resolved);
  EXPECT_EQ(too_far.rule, "no 4th link 'edit': only 3 in reading order");
  EXPECT_EQ(p.ask("click", "Edit link", 2).rule, "the 2nd link named exactly 'edit' in reading order");
}

TEST(Resolve, ATieTakesTheFirstInReadingOrderAndSaysSo) {
  Page p;
  p.add("button", "Share", 300, 0);
  p.add("button", "Share", 10, 0);
  const Outcome o = p.ask("click", "Share");
  ASSERT_TRUE(o.resolved);
  EXPECT_EQ(*o.element, 1u);
  EXPECT_TRUE(o.ambiguous);
  EXPECT_EQ(o.candidates, (std::vector<std::size_t>{1, 0}));
  EXPECT_EQ(o.rule, "element named exactly 'share', the first of 2 in reading order");

  Page nested_page;  // a header cell and the sort button inside it are one place
  nested_page.add("th", "Visitors", 0, 0, "/html[1]/body[1]/th[1]").list = List::texts;
  nested_page.add("button", "Visitors", 2, 2, "/html[1]/body[1]/th[1]/button[1]");
  const Outcome one = nested_page.ask("click", "Visitors");
  EXPECT_EQ(*one.element, 1u);
  EXPECT_FALSE(one.ambiguous);
  EXPECT_EQ(*nested_page.ask("click", "Visitors column header").element, 0u);
}

TEST(Resolve, RowPhrasesMeanTheSameRow) {
  Page p;
  const char* products[] = {"Chef Knife", "Dutch Oven"};
  for (int r = 0; r < 2; ++r) {
    const std::string row = "/html[1]/body[1]/table[1]/tbody[1]/tr[" + std::to_string(r + 1) + "]";
    Candidate& box = p.add("input", "", 0, 30.0 * r, row + "/td[1]/input[1]");
    box.type = "checkbox";
    box.row = r;
    p.add("td", products[r], 60, 30.0 * r, row + "/td[2]").list = List::texts;
    p.add("a", "Edit", 200, 30.0 * r, row + "/td[3]/a[1]");
  }
  for (const char* phrase : {"next to", "in the row of", "for"}) {
    const Outcome o = p.ask("click", std::string("the checkbox ") + phrase + " Dutch Oven");
    ASSERT_TRUE(o.resolved) << phrase;
    EXPECT_EQ(*o.element, 3u) << phrase;
  }
  EXPECT_EQ(*p.ask("click", "the Edit link in the row of Chef Knife").element, 2u);
  EXPECT_EQ(p.ask("click", "the Edit link in the row of Chef Knife").rule,
            "link named exactly 'edit' in the row of element 'chef knife'");
}

TEST(Resolve, ARowPhraseThatIsPartOfANameIsReadAsTheName) {
  Page p;
  p.add("button", "Search for products", 0, 0);
  const Outcome o = p.ask("click", "Search for products");
  ASSERT_TRUE(o.resolved);
  EXPECT_EQ(*o.element, 0u);
}

TEST(Resolve, TextChecksReadShownValuesAndTakeTheInnermostText) {
  Page p;
  p.add("div", "Orders 24 orders Show all", 0, 0, "/html[1]/body[1]/div[1]").list = List::texts;
  p.add("p", "1 2 3 24 orders Show all", 0, 0, "/html[1]/body[1]/div[1]/p[1]").list = List::texts;
  Candidate& results = p.add("textarea", "", 0, 100);
  results.value = "name | total\nTomasz Wierzba | 118.00";
  results.has_value = true;
  results.visible = true;
  const Outcome shown = p.ask("verify_text_visible", "24 orders");
  ASSERT_TRUE(shown.resolved);
  EXPECT_EQ(*shown.element, 1u);
  EXPECT_EQ(shown.state, StateKeys::text);
  EXPECT_FALSE(shown.ambiguous);
  EXPECT_EQ(*p.ask("verify_text_present", "Tomasz Wierzba").element, 2u);
  EXPECT_EQ(*p.ask("find_text", "118.00").element, 2u);
  EXPECT_FALSE(p.ask("find_exact_text", "118.00").resolved);
  const Outcome missing = p.ask("verify_text_visible", "Nobody");
  EXPECT_FALSE(missing.resolved);
  EXPECT_FALSE(missing.verified);
  EXPECT_EQ(missing.state, StateKeys::none);
}

TEST(Resolve, StateChecksReadTheChosenElement) {
  Page p;
  p.add("button", "Save changes", 0, 0).enabled = false;
  EXPECT_TRUE(p.ask("verify_disabled", "Save changes button").verified);
  EXPECT_FALSE(p.ask("verify_enabled", "Save changes button").verified);
  EXPECT_EQ(p.ask("verify_enabled", "Save changes").state, StateKeys::element);
}

TEST(Resolve, AttributeWordsNameAnElementOnlyWhenNothingElseDoes) {
  Page p;
  Candidate& icon = p.add("button", "", 0, 0);
  icon.fallback_words = "button icon-trash delete-row";
  EXPECT_EQ(p.ask("click", "trash").rule, "element with the attribute words 'trash'");
  p.add("a", "Trash folder", 0, 40);
  EXPECT_EQ(*p.ask("click", "trash").element, 1u);
}

TEST(Resolve, SpatialTargetsAndOtherActionsAreLeftToTextMatchingAndSpatial) {
  Page p;
  p.add("span", "Email", 0, 0).list = List::texts;
  p.add("button", "Resend", 0, 40);
  p.add("button", "Delete", 300, 300);
  const Outcome below = p.ask("click", "the button below Email");
  EXPECT_FALSE(below.resolved);
  EXPECT_EQ(below.rule, "left to text matching and spatial: the target places its element on the page");
  EXPECT_FALSE(p.ask("press_key", "Enter").resolved);

  const Outcome placed = resolve_placed({"click", "the button below Email", false, 1}, p.all);
  ASSERT_TRUE(placed.resolved);
  EXPECT_EQ(*placed.element, 1u);
  EXPECT_EQ(placed.rule, "the nearest button below element 'email'");
  EXPECT_FALSE(resolve_placed({"click", "the button above Email", false, 1}, p.all).resolved);
  EXPECT_FALSE(resolve_placed({"click", "Resend", false, 1}, p.all).resolved);
}

TEST(Resolve, HiddenElementsComeAfterVisibleOnesForActions) {
  Page p;
  p.add("button", "Close", 0, 0).visible = false;
  p.add("button", "Close", 0, 40);
  const Outcome o = p.ask("click", "Close");
  EXPECT_EQ(*o.element, 1u);
  EXPECT_FALSE(o.ambiguous);
}

}  // namespace
}  // namespace vantor::roles
