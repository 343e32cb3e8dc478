// Text matching: case folding, surfaces, the action filter, XPath distance and
// the resolvers, over descriptors held in plain structs.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "errors.hpp"
#include "matching/action_filter.hpp"
#include "matching/case_fold.hpp"
#include "matching/resolution.hpp"
#include "matching/surfaces.hpp"

namespace vantor::matching {
namespace {

struct Box {
  double x = 0, y = 0, width = 10, height = 10;
};

// A descriptor as plain data; every field is present.
struct Plain {
  std::string tag = "button", text;
  std::map<std::string, std::string> attributes;  // in key order, enough for these tests
  std::optional<Box> box = Box{};
  bool visible = true, enabled = true, editable = false;
  std::string xpath = "/html[1]/body[1]/button[1]";
};

Field text_field(const std::string& s) {
  Field f;
  f.kind = Kind::text;
  f.text = s;
  f.truthy = !s.empty();
  return f;
}

Field flag_field(bool b) {
  Field f;
  f.kind = Kind::boolean;
  f.truthy = b;
  f.number = b;
  return f;
}

Field number_field(double n) {
  Field f;
  f.kind = Kind::real;
  f.number = n;
  f.truthy = n != 0;
  return f;
}

class PlainList final : public DescriptorList {
 public:
  explicit PlainList(std::vector<Plain> items) : items_(std::move(items)) {}
  std::size_t size() const override { return items_.size(); }
  const void* identity(std::size_t i) const override { return &items_[i]; }
  std::string where(std::size_t i) const override { return "plain[" + std::to_string(i) + "]"; }
  void read(std::size_t i, unsigned, Descriptor& out) override {
    const Plain& p = items_[i];
    out.tag = text_field(p.tag);
    out.text = text_field(p.text);
    out.is_visible = flag_field(p.visible);
    out.is_enabled = flag_field(p.enabled);
    out.is_editable_field = flag_field(p.editable);
    out.xpath = text_field(p.xpath);
    out.bounding_box = Field{};
    out.x = out.y = out.width = out.height = Field{};
    if (p.box) {
      out.bounding_box.kind = Kind::record;
      out.bounding_box.truthy = true;
      out.x = number_field(p.box->x);
      out.y = number_field(p.box->y);
      out.width = number_field(p.box->width);
      out.height = number_field(p.box->height);
    }
    Attributes& a = out.attributes;
    a = Attributes{};
    for (const auto& [key, value] : p.attributes) {
      const Field f = text_field(value);
      if (key == "aria-label") a.aria_label = f;
      if (key == "_label") a.label = f;
      if (key == "placeholder") a.placeholder = f;
      if (key == "data-testid") a.data_testid = f;
      if (key == "type") a.type = f;
      if (key == "alt") a.alt = f;
      if (key == "class") a.class_name = f;
      if (key == "id") a.id = f;
      if (key == "role") a.role = f;
      if (key.starts_with("data-") && key != "data-testid") a.data_names.push_back(key);
    }
  }

 private:
  std::vector<Plain> items_;
};

Plain named(std::string text, double x = 0, double y = 0) {
  Plain p;
  p.text = std::move(text);
  p.box = Box{x, y, 10, 10};
  return p;
}

std::vector<std::size_t> indices(const std::vector<Ref>& refs) {
  std::vector<std::size_t> out;
  for (Ref r : refs) out.push_back(r.index);
  return out;
}

Field ordinal(double n) {
  Field f = number_field(n);
  f.kind = Kind::integer;
  return f;
}

TEST(CaseFold, ContainsFollowsPythonLowerCasing) {
  CaseFold fold;
  EXPECT_TRUE(fold.contains("Submit Order", "t or"));
  EXPECT_TRUE(fold.contains("anything", ""));
  EXPECT_FALSE(fold.contains("Sub", "subm"));
  EXPECT_TRUE(fold.contains("a long text past eight bytes: SUBMIT", "submit"));
  EXPECT_TRUE(fold.contains("\xe2\x84\xaa", "k"));         // KELVIN SIGN lowers to k
  EXPECT_TRUE(fold.contains("\xc4\xb0", "i\xcc\x87"));     // İ lowers to i and a combining dot
  EXPECT_FALSE(fold.contains("\xc3\x84", "\xc3\x84"));     // Ä lowers to ä
  EXPECT_TRUE(fold.contains("abc\xc3\x84", "c\xc3\xa4"));  // found after lowering
  EXPECT_TRUE(fold.contains(std::string_view("ab\0cd", 5), std::string_view("b\0c", 3)));
  EXPECT_TRUE(fold.equals_trimmed("  LOGIN\n", "login"));
  EXPECT_FALSE(fold.equals_trimmed("Login", "login "));
}

// The word-wise search, and the linear one for long needles, against a plain
// search: every length and offset around the eight-byte words, needles at
// every position and just missing.
TEST(CaseFold, ContainsAgreesWithAPlainSearchAtEveryOffset) {
  CaseFold fold;
  std::vector<std::size_t> lengths;
  for (std::size_t len = 0; len <= 20; ++len) lengths.push_back(len);
  for (std::size_t len : {63, 64, 65, 80}) lengths.push_back(len);
  for (std::size_t n = 0; n <= 100; ++n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += static_cast<char>(i % 2 ? 'a' + i % 3 : 'A' + i % 3);
    std::string lowered = text;
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::size_t pos = 0; pos <= n; ++pos) {
      for (std::size_t len : lengths) {
        if (pos + len > n + 1) break;
        std::string needle = lowered.substr(pos, len);
        if (pos + len > n) needle += 'z';  // runs past the end: never found
        ASSERT_EQ(fold.contains(text, needle), lowered.find(needle) != std::string::npos)
            << "text " << text << " needle " << needle;
      }
    }
  }
}

// Long needles take a linear-time search: repetitive texts cost no more than others.
TEST(CaseFold, LongNeedlesOverRepetitiveTexts) {
  CaseFold fold;
  const std::string text = std::string(5000, 'A') + "aB";
  EXPECT_TRUE(fold.contains(text, std::string(70, 'a') + "b"));
  EXPECT_FALSE(fold.contains(text, std::string(70, 'a') + "c"));
  EXPECT_TRUE(fold.contains(text + "\xc3\x84", std::string(69, 'a') + "b\xc3\xa4"));  // lowered first
  std::string periodic;
  for (int i = 0; i < 40; ++i) periodic += "ab";
  EXPECT_TRUE(fold.contains("xx " + periodic + periodic + "ac yy", periodic + "ac"));
  EXPECT_FALSE(fold.contains("xx " + periodic + periodic + "ab yy", periodic + "ac"));
}

TEST(Surfaces, StripTypeDescriptors) {
  EXPECT_EQ(strip_type_descriptors("search input"), "search");
  EXPECT_EQ(strip_type_descriptors("the Submit btn"), "the Submit");
  EXPECT_EQ(strip_type_descriptors("input button"), "input button");
  EXPECT_EQ(strip_type_descriptors("Login  Button"), "Login");
  EXPECT_EQ(strip_type_descriptors(" a  b "), "a b");
}

TEST(Surfaces, ClassIdAndDataNames) {
  std::string out;
  EXPECT_TRUE(class_surface("btn shopping_cart_link css-1x9a", out));
  EXPECT_EQ(out, "shopping cart link");
  EXPECT_FALSE(class_surface("btn nav col2", out));
  EXPECT_TRUE(id_surface("add_to_cart", out));
  EXPECT_EQ(out, "cart");
  EXPECT_TRUE(id_surface("login-btn-2", out));
  EXPECT_EQ(out, "login");
  EXPECT_TRUE(data_name_surface("data-cart-link", out));
  EXPECT_EQ(out, "cart link");
  EXPECT_FALSE(data_name_surface("data-v-7f3a", out));
}

TEST(Surfaces, MatchersUseLabelsOnlyWhenAsked) {
  Plain input;
  input.tag = "input";
  input.attributes = {{"_label", "Username"}, {"type", "password"}};
  PlainList list({input});
  Descriptor d;
  list.read(0, surface_needs, d);
  EXPECT_FALSE(SurfaceMatcher("username", false).matches(d));
  EXPECT_TRUE(SurfaceMatcher("username", true).matches(d));
  EXPECT_TRUE(SurfaceMatcher("PASSWORD", false).exact_matches(d));
  EXPECT_FALSE(SurfaceMatcher("pass", false).exact_matches(d));
}

TEST(Surfaces, MadeSurfacesAreFoundAcrossSeparators) {
  Plain p;
  p.attributes = {{"class", "nav_menu_toggle"}, {"id", "main-search-box"}};
  PlainList list({p});
  Descriptor d;
  list.read(0, surface_needs, d);
  EXPECT_TRUE(SurfaceMatcher("menu toggle", false).matches(d));
  EXPECT_TRUE(SurfaceMatcher("main search", false).matches(d));
  EXPECT_FALSE(SurfaceMatcher("menu_toggle", false).matches(d));
  EXPECT_FALSE(SurfaceMatcher("toggle 2", false).matches(d));
}

TEST(ActionFilter, NarrowsOrKeepsTheList) {
  Plain input, combo, select;
  input.tag = "input";
  combo.tag = "div";
  combo.attributes = {{"role", "combobox"}};
  select.tag = "select";
  PlainList page({named("Go"), input, combo, select});
  EXPECT_EQ(filter_by_action("type", page), (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(filter_by_action("select", page), (std::vector<std::size_t>{3}));
  EXPECT_EQ(filter_by_action("click", page), std::nullopt);
  PlainList buttons({named("Go")});
  EXPECT_EQ(filter_by_action("type", buttons), std::nullopt);
}

TEST(ActionFilter, DomDistance) {
  EXPECT_EQ(dom_distance("/html/body/div[1]/span", "/html/body/div[1]/p"), 2u);
  EXPECT_EQ(dom_distance("/html/body/div[1]/span", "/html/body/div[2]/span"), 4u);
  EXPECT_EQ(dom_distance("/html/body/", "html/body"), 0u);
  EXPECT_EQ(dom_distance("", ""), 0u);
  EXPECT_EQ(dom_distance("", "/html/body"), 3u);
}

TEST(Resolve, ExactOverContainsThenReadingOrderAndOrdinal) {
  PlainList page({named("Add to cart", 50, 10), named("Add to cart", 20, 10), named("Add to cart", 0, 40),
                  named("Add to cart now", 0, 0)});
  NoDescriptors none;
  const Resolution r = resolve_element("click", "Add to cart", ordinal(3), page, none);
  EXPECT_TRUE(r.resolved);
  EXPECT_EQ(indices(r.candidates), (std::vector<std::size_t>{1, 0, 2}));
  EXPECT_EQ(r.element->index, 2u);
}

TEST(Resolve, OrdinalsBelowOneStopAtTheFirstEntry) {
  PlainList page({named("Go on now"), named("Go"), named("Go on")});
  NoDescriptors none;
  EXPECT_EQ(resolve_element("click", "g", ordinal(0), page, none).element->index, 0u);  // the longest
  EXPECT_EQ(resolve_element("click", "g", ordinal(-1), page, none).element->index, 2u);
  EXPECT_EQ(resolve_element("click", "g", ordinal(-2), page, none).element->index, 1u);
  EXPECT_EQ(resolve_element("click", "g", ordinal(-50), page, none).element->index, 1u);
}

TEST(Resolve, HiddenElementsOnlyWhenNothingVisibleMatches) {
  Plain hidden = named("Login");
  hidden.visible = false;
  PlainList both({hidden, named("Login")});
  PlainList only({named("Other"), hidden});
  NoDescriptors none;
  EXPECT_EQ(indices(resolve_element("click", "login", Field{}, both, none).candidates), std::vector<std::size_t>{1});
  EXPECT_EQ(resolve_element("click", "login", Field{}, only, none).element->index, 1u);
}

TEST(Resolve, OrdinalOfTheWrongKind) {
  PlainList page({named("Go")});
  NoDescriptors none;
  Field text = text_field("2");
  EXPECT_THROW(resolve_element("click", "go", text, page, none), TypeError);
  EXPECT_FALSE(resolve_element("click", "zz", text, page, none).resolved);  // never compared
}

TEST(Checks, VerifyDisabledAndUnknownActions) {
  Plain off = named("Save");
  off.enabled = false;
  PlainList page({named("Save changes"), off});
  const Resolution r = resolve_verify("verify_disabled", "Save button", page);
  EXPECT_EQ(r.family, Family::check);
  EXPECT_EQ(r.verified, Verified::yes);
  EXPECT_EQ(indices(r.candidates), (std::vector<std::size_t>{1, 0}));
  EXPECT_EQ(resolve_verify("verify_visible", "Save", page).verified, Verified::element_visible);
  EXPECT_THROW(resolve_verify("verify_text_present", "Save", page), KeyError);
}

TEST(TextLookUp, FindExactReportsExactThenContains) {
  PlainList texts({named("Sign in to continue"), named("Sign in")});
  const Resolution r = resolve_find_exact_text("sign in", texts);
  EXPECT_EQ(r.element->index, 1u);
  EXPECT_EQ(indices(r.candidates), (std::vector<std::size_t>{1, 0, 1}));
  const Resolution miss = resolve_find_exact_text("sign", texts);
  EXPECT_FALSE(miss.resolved);
  EXPECT_EQ(indices(miss.candidates), (std::vector<std::size_t>{1, 0}));
}

Plain span(std::string text, double x, double y, double w, double h, std::string xpath) {
  Plain p;
  p.tag = "span";
  p.text = std::move(text);
  p.box = Box{x, y, w, h};
  p.xpath = std::move(xpath);
  return p;
}

TEST(Directional, NearestTextAndTheMendedFailures) {
  const std::string row = "/html[1]/body[1]/div[1]/";
  PlainList texts({span("$9.00", 480, 200, 40, 20, row + "span[3]"), span("Total", 100, 200, 60, 20, row + "span[1]"),
                   span("$42.00", 280, 200, 40, 20, row + "span[2]"), span("  ", 100, 300, 60, 20, row + "span[4]")});
  Resolution r = resolve_verify_spatial_text("right of the Total", "42", texts, nullptr);
  EXPECT_EQ(r.verified, Verified::yes);
  EXPECT_EQ(r.actual, "$42.00");
  EXPECT_EQ(indices(r.candidates), (std::vector<std::size_t>{2, 0}));
  // an empty text below does not verify
  r = resolve_verify_spatial_text("below Total", "42", texts, nullptr);
  EXPECT_TRUE(r.resolved);
  EXPECT_EQ(r.element->index, 3u);
  EXPECT_EQ(r.verified, Verified::no);
  // nothing above: the check names the anchor, the extraction fails
  r = resolve_verify_spatial_text("above Total", "42", texts, nullptr);
  EXPECT_EQ(r.element->index, 1u);
  EXPECT_EQ(r.actual, "no element above of 'Total'");
  const Resolution e = resolve_extract_spatial_text("above Total", texts, nullptr);
  EXPECT_FALSE(e.resolved);
  EXPECT_EQ(e.family, Family::extraction);
  EXPECT_EQ(e.extracted, "");
  EXPECT_EQ(resolve_extract_spatial_text("left of $42.00", texts, nullptr).extracted, "Total");
}

TEST(Directional, Norm) {
  EXPECT_EQ(norm("$1,299.00"), "1299.00");
  EXPECT_EQ(norm(" \xc2\xa3"
                 "5 \xe2\x82\xac"),
            "5");
  EXPECT_EQ(norm("USD"), "usd");
}

}  // namespace
}  // namespace vantor::matching
