// The page scan's rules in the core: CSS escaping of ids, the snapshot's JSON
// layout and file name, de-duplication and spatial labels on records, and the
// per-element protocol against a scripted page.
#include "scan/scan.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "errors.hpp"
#include "scan/box_index.hpp"
#include "scan/css_escape.hpp"
#include "scan/elements.hpp"
#include "scan/labels.hpp"
#include "scan/page.hpp"
#include "scan/scripts.hpp"
#include "scan/snapshot.hpp"
#include "scan/tables.hpp"
#include "scan/text_account.hpp"
#include "scan/text_elements.hpp"
#include "text/whitespace.hpp"

namespace scan = vantor::scan;
namespace vv = vantor::values;

namespace {

TEST(CssIdentifier, EscapesAsCssEscapeDoes) {
  EXPECT_EQ(scan::css_identifier("plain-id_2"), "plain-id_2");
  EXPECT_EQ(scan::css_identifier(":r1:"), "\\:r1\\:");
  EXPECT_EQ(scan::css_identifier("1st"), "\\31 st");
  EXPECT_EQ(scan::css_identifier("-1x"), "-\\31 x");
  EXPECT_EQ(scan::css_identifier("-"), "\\-");
  EXPECT_EQ(scan::css_identifier("--x"), "--x");
  EXPECT_EQ(scan::css_identifier("a b.c#d"), "a\\ b\\.c\\#d");
  EXPECT_EQ(scan::css_identifier("say\"hi"), "say\\\"hi");
  EXPECT_EQ(scan::css_identifier("tab\there\x7f"), "tab\\9 here\\7f ");
  EXPECT_EQ(scan::css_identifier(std::string("a\0b", 3)),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(scan::css_identifier("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(scan::css_identifier(""), "");
}

TEST(CssString, QuotesAndEscapes) {
  EXPECT_EQ(scan::css_string("user"), "\"user\"");
  EXPECT_EQ(scan::css_string("say\"hi\\"), "\"say\\\"hi\\\\\"");
  EXPECT_EQ(scan::css_string("new\nline"), "\"new\\a line\"");
  EXPECT_EQ(scan::css_string(":r1:"), "\":r1:\"");
}

TEST(Tables, SelectorsJoinTheirParts) {
  EXPECT_EQ(scan::text_selector(), "h1, h2, h3, h4, h5, h6, p, span, label, li, td, th, a, button, div");
  const std::string& s = scan::interactable_selector();
  EXPECT_EQ(s.rfind("button, input, a, select, textarea, [role=\"button\"], [role=\"link\"]", 0), 0u);
  EXPECT_TRUE(s.ends_with("[role=\"tab\"], img[alt], img[data-testid], [data-testid]"));
}

TEST(Snapshot, SlugReplacesSeparatorsAndCutsAtSixtyCharacters) {
  EXPECT_EQ(scan::url_slug("https://shop.test/shop/cart?a=1&b=2"), "https_shop.test_shop_cart?a=1&b=2");
  EXPECT_EQ(scan::url_slug("a://b://c"), "a_b_c");
  const std::string accented = "https://x/" + std::string(70 * 2, 'a');
  EXPECT_EQ(scan::url_slug(accented).size(), 60u);
  std::string e_acute;
  for (int i = 0; i < 70; ++i) e_acute += "\xC3\xA9";
  EXPECT_EQ(scan::url_slug(e_acute), e_acute.substr(0, 120));  // 60 characters, 120 bytes
}

TEST(Snapshot, FileNameIsTimestampSlugJson) {
  const std::string name = scan::snapshot_file_name("https://a.test/", 0);
  ASSERT_EQ(name.size(), 15u + 1 + 13 + 5);
  EXPECT_EQ(name[8], '_');
  EXPECT_TRUE(name.ends_with("_https_a.test_.json"));
}

std::string json(const vv::Value& v) {
  std::string out;
  scan::append_json(out, v);
  return out;
}

TEST(Snapshot, JsonLayout) {
  vv::Record inner;
  inner.set("b", vv::List{});
  inner.set("a", vv::Record{});
  vv::Record record;
  record.set("text", "Cr\xC3\xA8me \"q\" \\ \n\t\x01\x7f \xF0\x9D\x84\x9E");
  record.set("n", vv::List{vv::Value(1), vv::Value(2.5), vv::Value(3.0), vv::Value(true), vv::Value(nullptr)});
  record.set("inner", inner);
  EXPECT_EQ(json(vv::Value(record)),
            "{\n"
            "  \"text\": \"Cr\\u00e8me \\\"q\\\" \\\\ \\n\\t\\u0001\\u007f \\ud834\\udd1e\",\n"
            "  \"n\": [\n"
            "    1,\n"
            "    2.5,\n"
            "    3.0,\n"
            "    true,\n"
            "    null\n"
            "  ],\n"
            "  \"inner\": {\n"
            "    \"b\": [],\n"
            "    \"a\": {}\n"
            "  }\n"
            "}");
  EXPECT_EQ(json(vv::Value(std::numeric_limits<double>::infinity())), "Infinity");
  EXPECT_EQ(json(vv::Value(std::nan(""))), "NaN");
  EXPECT_THROW(json(vv::Value::back_reference(false)), vantor::ValueError);
}

TEST(Snapshot, WholeObject) {
  EXPECT_EQ(scan::snapshot_json(vv::Value("u"), vv::Value(vv::List{}), vv::Value(vv::List{vv::Value(1)})),
            "{\n  \"url\": \"u\",\n  \"elements\": [],\n  \"text_elements\": [\n    1\n  ]\n}");
}

vv::Record box(double x, double y, double width, double height) {
  vv::Record b;
  b.set("x", x);
  b.set("y", y);
  b.set("width", width);
  b.set("height", height);
  return b;
}

vv::Value text_element(const char* text, vv::Record bb, bool direct) {
  vv::Record r;
  r.set("text", text);
  r.set("has_direct_text", direct);
  r.set("bounding_box", std::move(bb));
  return vv::Value(std::move(r));
}

TEST(Dedup, WrappersGoOnlyWhenTheirTextIsAccountedFor) {
  const vv::List candidates = {
      text_element("Status: Shipped", box(0, 0, 200, 20), false),  // "Status:" is in no candidate
      text_element("Shipped", box(60, 0, 60, 20), true),
      text_element("Alpha Beta", box(0, 30, 200, 20), false),  // both words are
      text_element("Alpha", box(0, 30, 50, 20), true),
      text_element("Beta", box(60, 30, 50, 20), true),
  };
  EXPECT_EQ(scan::dedup_text_elements(candidates), (std::vector<std::size_t>{0, 1, 3, 4}));
}

TEST(Dedup, TheOptionsOfSelectsBelongToTheSelects) {
  const vv::List candidates = {
      text_element("Hello\n\nOne\nTwo", box(0, 0, 300, 40), false),  // a <p>Hello</p> and a select
      text_element("Hello", box(0, 0, 100, 20), true),
      text_element("One\nTwo", box(0, 50, 300, 40), false),          // nothing but a select
      text_element("Total\nOne\nTwo", box(0, 100, 300, 40), false),  // "Total" is in no candidate
  };
  const std::vector<std::vector<std::string>> selects = {{"One\nTwo"}, {}, {"One\nTwo"}, {"One\nTwo"}};
  EXPECT_EQ(scan::dedup_text_elements(candidates, selects), (std::vector<std::size_t>{1, 3}));
  // Without knowing the selects, every wrapper keeps the options' text.
  EXPECT_EQ(scan::dedup_text_elements(candidates), (std::vector<std::size_t>{0, 1, 2, 3}));
}

// Long texts are searched through a suffix array; what each part takes must be
// what a plain search from the start takes.
TEST(TextAccount, LongTextsTakeWhatAPlainSearchTakes) {
  unsigned seed = 7;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  const char* pieces[] = {"ab", "a", "b", "ba", " ", "\t", "abc", "\xC3\xA9"};
  for (int round = 0; round < 20; ++round) {
    std::string text;
    while (text.size() < 5000 + next(3000)) text += pieces[next(8)];
    std::vector<std::string> parts;
    for (int i = 0; i < 400; ++i) {
      const std::size_t at = next(static_cast<unsigned>(text.size())), length = 1 + next(4);
      parts.push_back(next(10) == 0 ? "zz" : text.substr(at, length));
    }
    scan::TextAccount account(text);
    std::vector<bool> taken(text.size(), false);
    for (const std::string& part : parts) {
      ASSERT_EQ(account.contains(part), text.find(part) != std::string::npos) << part;
      account.take_out(part);
      std::size_t at = text.find(part);
      while (at != std::string::npos &&
             std::find(taken.begin() + at, taken.begin() + at + part.size(), true) != taken.begin() + at + part.size())
        at = text.find(part, at + 1);
      if (at != std::string::npos) std::fill_n(taken.begin() + at, part.size(), true);
      std::string left;
      for (std::size_t k = 0; k < text.size(); ++k)
        if (!taken[k]) left += text[k];
      ASSERT_EQ(account.only_whitespace_left(), vantor::text::strip(left).empty()) << "round " << round;
    }
    ASSERT_TRUE(std::find(taken.begin(), taken.end(), true) != taken.end());
  }
}

// The rule as written: every wrapper compared with every candidate.
std::vector<std::size_t> dedup_by_every_pair(const vv::List& candidates) {
  auto box_of = [](const vv::Value& c) {
    const vv::Record& b = c.as_record().at("bounding_box").as_record();
    return scan::Box{b.at("x").as_number(), b.at("y").as_number(), b.at("width").as_number(),
                     b.at("height").as_number()};
  };
  std::vector<std::size_t> keep;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const vv::Record& c = candidates[i].as_record();
    if (c.at("has_direct_text").truthy()) {
      keep.push_back(i);
      continue;
    }
    const std::string_view text = c.at("text").as_text();
    std::vector<bool> taken(text.size(), false);
    bool any = false;
    for (std::size_t j = 0; j < candidates.size(); ++j) {
      const scan::Box a = box_of(candidates[j]), w = box_of(candidates[i]);
      if (j == i || !(a.area() < w.area()) || !a.overlaps(w)) continue;
      const std::string_view other = candidates[j].as_record().at("text").as_text();
      if (text.find(other) == std::string_view::npos) continue;
      any = true;
      // The first place showing the text that no earlier text took.
      std::size_t at = other.empty() ? std::string_view::npos : text.find(other);
      while (at != std::string_view::npos && std::find(taken.begin() + at, taken.begin() + at + other.size(), true) !=
                                                 taken.begin() + at + other.size())
        at = text.find(other, at + 1);
      if (at != std::string_view::npos) std::fill_n(taken.begin() + at, other.size(), true);
    }
    std::string remaining;
    for (std::size_t k = 0; k < text.size(); ++k)
      if (!taken[k]) remaining += text[k];
    if (!(any && vantor::text::strip(remaining).empty())) keep.push_back(i);
  }
  return keep;
}

// Looking candidates up by box finds what comparing every pair finds: on
// wrappers whose words lie in children anywhere inside them (rows, tall
// blocks), on pages up to millions of pixels tall, and with boxes no band
// can place.
TEST(Dedup, LookingUpByBoxKeepsWhatEveryPairKeeps) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const double odd[] = {nan, inf, -inf, -5, 0, 1e300};
  const char* words[] = {"a", "b", "c", ""};
  unsigned seed = 12345;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int round = 0; round < 400; ++round) {
    vv::List candidates;
    const double page_height = next(2) ? 2000 : 2e6;
    for (unsigned group = 0, groups = 1 + next(12); group < groups; ++group) {
      const double x = next(300), y = next(page_height), width = 20 + next(300), height = 20 + next(page_height / 8);
      std::string text;
      vv::List children;
      for (unsigned child = 0, count = next(4); child < count; ++child) {
        const char* word = words[next(4)];
        text += std::string(text.empty() ? "" : " ") + word;
        vv::Record b = box(x + next(width / 2), y + next(height - 10), 1 + next(width / 2), 1 + next(10));
        if (next(30) == 0) b.set(next(2) ? "height" : "y", odd[next(6)]);
        children.push_back(text_element(word, std::move(b), next(4) != 0));
      }
      if (next(5) == 0) text += " z";  // a word no child has
      candidates.push_back(text_element(text.c_str(), box(x, y, width, height), next(5) == 0));
      for (vv::Value& child : children) candidates.push_back(std::move(child));
    }
    ASSERT_EQ(scan::dedup_text_elements(candidates), dedup_by_every_pair(candidates)) << "round " << round;
  }
}

vv::Value labelled(vv::Record bb, const char* label) {
  vv::Record attributes;
  if (label) attributes.set("_label", label);
  vv::Record r;
  r.set("attributes", std::move(attributes));
  r.set("bounding_box", std::move(bb));
  return vv::Value(std::move(r));
}

vv::Value candidate(const char* text, vv::Record bb) {
  vv::Record r;
  r.set("text", text);
  r.set("bounding_box", std::move(bb));
  return vv::Value(std::move(r));
}

TEST(SpatialLabels, NearestAboveOverlappingWins) {
  vv::List elements = {labelled(box(100, 300, 100, 20), nullptr), labelled(box(100, 300, 100, 20), "Own")};
  const vv::List candidates = {candidate("Far", box(100, 100, 100, 20)), candidate("Near", box(100, 200, 100, 20)),
                               candidate("Right", box(201, 250, 50, 20)), candidate("Edge", box(0, 260, 100, 20))};
  scan::assign_spatial_labels(elements, candidates);
  EXPECT_EQ(elements[0].as_record().at("attributes").as_record().at("_label").as_text(), "Edge");
  EXPECT_EQ(elements[1].as_record().at("attributes").as_record().at("_label").as_text(), "Own");
}

// A page scripted from plain data; elements whose name is in `failing` throw
// from every read, those in `interrupting` throw an error the page does not
// count as an element's own.
struct Interrupt {};

class ScriptedPage;

class ScriptedElement final : public scan::ElementHandle {
 public:
  ScriptedElement(ScriptedPage& page, std::string name) : page_(page), name_(std::move(name)) {}
  bool is_visible() override { return check(), true; }
  bool is_enabled() override { return check(), true; }
  std::string inner_text() override { return check(), " " + name_ + " "; }
  std::optional<std::string> attribute(std::string_view name) override {
    check();
    if (name == "id") return name_;
    return std::nullopt;
  }
  vv::Value bounding_box() override { return check(), vv::Value(box(0, 0, 10, 10)); }
  vv::Value evaluate(std::string_view script) override {
    check();
    if (script == scan::scripts::tag_name) return vv::Value("button");
    if (script == scan::scripts::xpath) return vv::Value("/html[1]/" + name_);
    if (script == scan::scripts::data_attributes) return vv::Value(vv::Record{});
    return vv::Value();
  }

 private:
  void check();
  ScriptedPage& page_;
  std::string name_;
};

class ScriptedPage final : public scan::PageHandle {
 public:
  std::vector<std::string> natives, failing, interrupting;
  scan::ElementHandles query_selector_all(std::string_view selector) override {
    scan::ElementHandles found;
    if (selector == scan::interactable_selector())
      for (const std::string& name : natives) found.push_back(std::make_unique<ScriptedElement>(*this, name));
    return found;
  }
  std::unique_ptr<scan::ElementHandle> query_selector(std::string_view) override { return nullptr; }
  vv::Value evaluate(std::string_view) override { throw std::runtime_error("no scripts on this page"); }
  bool is_element_error(const std::exception_ptr& error) const override {
    try {
      std::rethrow_exception(error);
    } catch (const Interrupt&) {
      return false;
    } catch (...) {
      return true;
    }
  }
};

bool listed(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

void ScriptedElement::check() {
  if (listed(page_.failing, name_)) throw std::runtime_error("detached");
  if (listed(page_.interrupting, name_)) throw Interrupt{};
}

TEST(Protocol, AFailingElementIsLeftOutAndTheRestStay) {
  ScriptedPage page;
  page.natives = {"one", "two", "three"};
  page.failing = {"two"};
  const scan::PageScan result = scan::scan_page(page);  // the failing cursor script yields nothing
  std::vector<std::string> texts;
  for (const vv::Value& e : result.elements) texts.emplace_back(e.as_record().at("text").as_text());
  EXPECT_EQ(texts, (std::vector<std::string>{"one", "three"}));
}

TEST(Protocol, AnInterruptionIsNeverSwallowed) {
  ScriptedPage page;
  page.natives = {"one", "two"};
  page.interrupting = {"two"};
  EXPECT_THROW(scan::scan_page(page), Interrupt);
}

TEST(CustomInputs, ClassesDecideAndNativeFieldsNeverCount) {
  EXPECT_TRUE(scan::is_custom_input("div", "Rich-EDITABLE"));
  EXPECT_TRUE(scan::is_custom_input("span", "x-input"));
  EXPECT_FALSE(scan::is_custom_input("select", "input"));
  EXPECT_FALSE(scan::is_custom_input("div", "field"));
}

}  // namespace
