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
#include "scan/css_escape.hpp"
#include "scan/elements.hpp"
#include "scan/labels.hpp"
#include "scan/page.hpp"
#include "scan/scripts.hpp"
#include "scan/snapshot.hpp"
#include "scan/tables.hpp"
#include "scan/text_elements.hpp"

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
