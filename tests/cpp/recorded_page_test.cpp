// The recorded page: the scan's questions answered from one record of the
// page, what the record lacks asked of the live page (and counted), and the
// failures the record notes raised as element errors.
#include "scan/recorded_page.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "scan/scan.hpp"
#include "scan/scripts.hpp"
#include "scan/tables.hpp"

namespace scan = vantor::scan;
namespace vv = vantor::values;

namespace {

vv::List list(std::initializer_list<vv::Value> items) { return vv::List(items); }

// A live page that answers every question the same way and counts them.
class CountingPage final : public scan::PageHandle {
 public:
  int calls = 0;
  class Element final : public scan::ElementHandle {
   public:
    explicit Element(CountingPage& page) : page_(page) {}
    bool is_visible() override { return ++page_.calls, true; }
    bool is_enabled() override { return ++page_.calls, true; }
    std::string inner_text() override { return ++page_.calls, "live"; }
    std::optional<std::string> attribute(std::string_view) override { return ++page_.calls, "live"; }
    vv::Value bounding_box() override {
      ++page_.calls;
      vv::Record box;
      for (const char* key : {"x", "y", "width", "height"}) box.set(key, 0.5);
      return vv::Value(std::move(box));
    }
    vv::Value evaluate(std::string_view) override { return ++page_.calls, vv::Value("live"); }

   private:
    CountingPage& page_;
  };
  scan::ElementHandles query_selector_all(std::string_view) override {
    ++calls;
    scan::ElementHandles found;
    found.push_back(std::make_unique<Element>(*this));
    return found;
  }
  std::unique_ptr<scan::ElementHandle> query_selector(std::string_view) override {
    return ++calls, std::make_unique<Element>(*this);
  }
  vv::Value evaluate(std::string_view) override { return ++calls, vv::Value(vv::List{}); }
  bool is_element_error(const std::exception_ptr&) const override { return true; }
};

vv::Record element(bool visible, vv::Value box) {
  vv::Record e;
  e.set("v", visible);
  e.set("a", list({"ID", "Upper", "id", "x", "data-k", ""}));
  e.set("b", std::move(box));
  e.set("t", "Text");
  return e;
}

vv::Value record_of(vv::List elements, vv::Record queries, vv::List lookups = {}) {
  vv::Record r;
  r.set("cursor", vv::List{});
  r.set("cursor_negative_zeros", vv::List{});
  r.set("elements", std::move(elements));
  r.set("queries", std::move(queries));
  r.set("lookups", std::move(lookups));
  return vv::Value(std::move(r));
}

TEST(RecordedPage, AnswersFromTheRecordWithoutTheLivePage) {
  CountingPage live;
  vv::Record first = element(true, list({1, 2.5, 3, 4}));
  first.set("e", false);
  first.set("x", "/html[1]/button[1]");
  vv::Record queries;
  queries.set("button", list({0, 0}));
  const vv::Value record = record_of(list({first}), queries);
  scan::RecordedPage page(live, record);
  const scan::ElementHandles found = page.query_selector_all("button");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_TRUE(found[0]->is_visible());
  EXPECT_FALSE(found[0]->is_enabled());
  EXPECT_EQ(found[0]->inner_text(), "Text");
  // An HTML element's names are asked in lower case and match exactly, as
  // getAttribute() does: an "ID" set through the namespace API is never met.
  EXPECT_EQ(found[0]->attribute("id"), "x");
  EXPECT_EQ(found[0]->attribute("ID"), "x");
  EXPECT_EQ(found[0]->attribute("data-k"), "");
  EXPECT_EQ(found[0]->attribute("title"), std::nullopt);
  EXPECT_EQ(found[0]->evaluate(scan::scripts::xpath).as_text(), "/html[1]/button[1]");
  const vv::Value box = found[1]->bounding_box();
  const vv::Record& b = box.as_record();
  EXPECT_EQ(b.entries()[0].key, "x");
  EXPECT_TRUE(b.at("x").is_int());
  EXPECT_EQ(b.at("y").as_number(), 2.5);
  EXPECT_EQ(b.entries()[3].key, "height");
  EXPECT_EQ(live.calls, 0);
  EXPECT_EQ(page.live_calls(), 0u);
}

TEST(RecordedPage, WhatTheRecordLacksComesFromTheLivePageAndIsCounted) {
  CountingPage live;
  vv::Record queries;
  queries.set("div", list({0}));
  const vv::Value record = record_of(list({element(true, "live")}), queries);
  scan::RecordedPage page(live, record);
  const scan::ElementHandles found = page.query_selector_all("div");
  EXPECT_EQ(found[0]->bounding_box().as_record().at("x").as_number(), 0.5);  // one query, one box
  EXPECT_TRUE(found[0]->is_enabled());                                       // not recorded for a div
  EXPECT_EQ(found[0]->evaluate(scan::scripts::tag_name).as_text(), "live");
  EXPECT_EQ(live.calls, 4);
  EXPECT_EQ(page.live_calls(), 3u);
  EXPECT_EQ(page.query_selector_all("span").size(), 1u);  // a query it never ran
  EXPECT_EQ(page.live_calls(), 4u);
}

TEST(RecordedPage, LabelLookupsAreKeyedByTheSelectorsTheRulesBuild) {
  CountingPage live;
  vv::Record label = element(true, vv::Value());
  label.set("t", " Email ");
  const vv::Value record = record_of(
      list({label}), vv::Record{}, list({list({"for", "1st\"", 0}), list({"#", "1st", -1}), list({"#", ":r1:", -2})}));
  scan::RecordedPage page(live, record);
  const auto found = page.query_selector("label[for=\"1st\\\"\"]");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->inner_text(), " Email ");
  EXPECT_EQ(page.query_selector("#\\31 st"), nullptr);
  EXPECT_THROW(page.query_selector("#\\:r1\\:"), std::exception);
  EXPECT_EQ(live.calls, 0);
}

TEST(RecordedPage, NotedFailuresAreElementErrors) {
  CountingPage live;
  vv::Record broken = element(true, vv::Value());
  broken.set("f", list({"q"}));
  vv::Record svg_element;
  svg_element.set("v", true);
  svg_element.set("a", list({"viewBox", "0 0 1 1"}));
  svg_element.set("b", vv::Value());
  svg_element.set("n", true);
  vv::Record queries;
  queries.set("x", list({0, 1}));
  vv::Record r = record_of(list({svg_element, broken}), queries).as_record();
  r.set("cursor_error", "script failed");
  const vv::Value record(std::move(r));
  scan::RecordedPage page(live, record);
  const scan::ElementHandles found = page.query_selector_all("x");
  EXPECT_THROW(found[0]->inner_text(), std::exception);
  // Names of elements outside HTML match as they are.
  EXPECT_EQ(found[0]->attribute("viewbox"), std::nullopt);
  EXPECT_EQ(found[0]->attribute("viewBox"), "0 0 1 1");
  EXPECT_THROW(found[1]->evaluate(scan::scripts::parent_text), std::exception);
  EXPECT_THROW(page.evaluate(scan::scripts::cursor_pointer), std::exception);
  EXPECT_EQ(live.calls, 0);
}

TEST(RecordedPage, RestoresNegativeZeroCoordinatesOfPointerItems) {
  CountingPage live;
  vv::Record item;
  for (const char* key : {"x", "y", "w", "h"}) item.set(key, 0);
  vv::Record r = record_of({}, vv::Record{}).as_record();
  r.set("cursor", list({vv::Value(item)}));
  r.set("cursor_negative_zeros", list({list({0, "y"})}));
  const vv::Value record(std::move(r));
  scan::RecordedPage page(live, record);
  const vv::Value items = page.evaluate(scan::scripts::cursor_pointer);
  const vv::Record& first = items.as_list()[0].as_record();
  EXPECT_TRUE(first.at("x").is_int());
  EXPECT_TRUE(first.at("y").is_float());
  EXPECT_TRUE(std::signbit(first.at("y").as_number()));
}

TEST(RecordedPage, APageItCannotStandInForSaysWhy) {
  CountingPage live;
  vv::Record r;
  r.set("unsupported", "shadow root");
  const vv::Value record(std::move(r));
  scan::RecordedPage page(live, record);
  EXPECT_EQ(page.unsupported(), "shadow root");
}

TEST(RecordedPage, TheRecordScriptHoldsTheRulesOwnScriptsAndSelectors) {
  const std::string& full = scan::page_record_script(false);
  for (std::string_view part : {scan::scripts::xpath, scan::scripts::cursor_pointer, scan::scripts::wrapping_label_text,
                                scan::scripts::element_state, scan::scripts::record_page})
    EXPECT_NE(full.find(part), std::string::npos);
  EXPECT_NE(full.find("[role=\\\"button\\\"]"), std::string::npos);
  EXPECT_EQ(full.substr(0, 5), "() =>");
  // The last two arguments: text only, and the facts collector (null when the facts are not asked for).
  EXPECT_NE(full.find(", false, null)"), std::string::npos);
  EXPECT_NE(scan::page_record_script(true).find(", true, null)"), std::string::npos);
  const std::string& with_facts = scan::page_record_script(false, true);
  EXPECT_EQ(with_facts.find(", false, null)"), std::string::npos);
  EXPECT_NE(with_facts.find(", false, ("), std::string::npos);
}

}  // namespace
