#include "scan/recorded_page.hpp"

#include <functional>
#include <utility>

#include "errors.hpp"
#include "scan/css_escape.hpp"
#include "scan/page_facts.hpp"
#include "scan/scripts.hpp"
#include "scan/tables.hpp"

namespace vantor::scan {

using values::List;
using values::Record;
using values::Value;

namespace {

// A selector as a JavaScript string literal (selectors are ASCII).
std::string js_string(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string compose_record_script(bool text_only, bool with_facts) {
  std::string rules = "{";
  const std::pair<std::string_view, std::string_view> named[] = {
      {"tag_name", scripts::tag_name},
      {"data_attributes", scripts::data_attributes},
      {"has_direct_text", scripts::has_direct_text},
      {"xpath", scripts::xpath},
      {"previous_sibling_text", scripts::previous_sibling_text},
      {"parent_text", scripts::parent_text},
      {"wrapping_label_text", scripts::wrapping_label_text},
      {"select_texts", scripts::select_texts},
      {"cursor_pointer", scripts::cursor_pointer}};
  for (const auto& [name, script] : named) {
    rules += std::string(name) + ": (" + std::string(script) + "),\n";
  }
  rules += "}";
  const std::string selectors =
      "{interactable: " + js_string(interactable_selector()) + ", custom_input: " + js_string(custom_input_selector) +
      ", label_candidate: " + js_string(label_candidate_selector) + ", text: " + js_string(text_selector()) + "}";
  return "() => (" + std::string(scripts::record_page) + ")((" + std::string(scripts::element_state) + ")(), (" +
         std::string(scripts::element_box) + ")(), " + rules + ", " + selectors + ", " +
         (text_only ? "true" : "false") + ", " + (with_facts ? facts_collector() : "null") + ")";
}

// The key under which the record keeps an element script's result.
std::string_view script_name(std::string_view script) {
  const std::pair<std::string_view, std::string_view> named[] = {{scripts::tag_name, "g"},
                                                                 {scripts::data_attributes, "d"},
                                                                 {scripts::has_direct_text, "h"},
                                                                 {scripts::xpath, "x"},
                                                                 {scripts::previous_sibling_text, "p"},
                                                                 {scripts::parent_text, "q"},
                                                                 {scripts::wrapping_label_text, "w"},
                                                                 {scripts::select_texts, "s"}};
  for (const auto& [text, name] : named)
    if (script == text) return name;
  return {};
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

[[noreturn]] void fail(std::string message) { throw ValueError(std::move(message)); }

}  // namespace

const std::string& page_record_script(bool text_only, bool with_facts) {
  static const std::string full = compose_record_script(false, false);
  static const std::string text = compose_record_script(true, false);
  static const std::string facts = compose_record_script(false, true);
  return with_facts && !text_only ? facts : text_only ? text : full;
}

// One element of the record. What the record lacks comes from the element
// on the live page, found again the way the scan first met it.
class RecordedElement final : public ElementHandle {
 public:
  using Locate = std::function<ElementHandle*()>;
  RecordedElement(RecordedPage& page, const Record& record, Locate locate)
      : page_(page), record_(record), locate_(std::move(locate)) {}

  bool is_visible() override {
    if (const Value* v = record_.find("v")) return v->as_bool();
    return live().is_visible();
  }

  bool is_enabled() override {
    if (const Value* e = record_.find("e")) return e->as_bool();
    return live().is_enabled();
  }

  std::string inner_text() override {
    if (const Value* t = record_.find("t")) return std::string(t->as_text());
    if (record_.contains("n")) fail("Node is not an HTMLElement");
    return live().inner_text();
  }

  // As getAttribute(): an HTML element's attribute names are matched in
  // lower case; the first attribute of that name answers.
  std::optional<std::string> attribute(std::string_view name) override {
    std::string wanted(name);
    if (!record_.contains("n"))
      for (char& c : wanted) c = ascii_lower(c);
    const Value* recorded = record_.find("a");
    if (!recorded) return live().attribute(name);
    const List& attributes = recorded->as_list();
    for (std::size_t i = 0; i + 1 < attributes.size(); i += 2)
      if (attributes[i].as_text() == wanted) return std::string(attributes[i + 1].as_text());
    return std::nullopt;
  }

  // A new record each time, as the live page gives one per call.
  Value bounding_box() override {
    const Value* recorded = record_.find("b");
    if (!recorded) return live().bounding_box();
    const Value& box = *recorded;
    if (box.is_null()) return Value();
    if (box.is_text()) return live().bounding_box();  // measured finer than the page can reproduce
    // Four numbers, or the page's own geometry was tampered with (a patched
    // getClientRects answering NaN comes back as null): ask the driver.
    if (!box.is_list() || box.as_list().size() != 4) return live().bounding_box();
    for (const Value& number : box.as_list())
      if (!number.is_number()) return live().bounding_box();
    const List& numbers = box.as_list();
    Record result;
    result.set("x", numbers.at(0));
    result.set("y", numbers.at(1));
    result.set("width", numbers.at(2));
    result.set("height", numbers.at(3));
    return Value(std::move(result));
  }

  Value evaluate(std::string_view script) override {
    const std::string_view name = script_name(script);
    if (!name.empty()) {
      if (const Value* result = record_.find(name)) return *result;
      if (const Value* failed = record_.find("f"))
        for (const Value& failed_name : failed->as_list())
          if (failed_name.as_text() == name) fail("the element script failed in the page");
    }
    return live().evaluate(script);
  }

 private:
  ElementHandle& live() {
    ++page_.live_calls_;
    if (!live_) live_ = locate_();
    if (!live_) fail("the element is no longer on the page");
    return *live_;
  }

  RecordedPage& page_;
  const Record& record_;
  Locate locate_;
  ElementHandle* live_ = nullptr;  // owned by the page
};

RecordedPage::RecordedPage(PageHandle& live, const Value& record) : live_(live) {
  const Record& answer = record.as_record();
  if (const Value* unsupported = answer.find("unsupported")) {
    unsupported_ = std::string(unsupported->as_text());
    return;
  }
  record_ = &answer;
  elements_ = &answer.at("elements").as_list();
  queries_ = &answer.at("queries").as_record();
  if (const Value* cursor = answer.find("cursor")) {
    cursor_ = *cursor;
    for (const Value& zero : answer.at("cursor_negative_zeros").as_list()) {
      const List& at = zero.as_list();
      cursor_.as_list()
          .at(static_cast<std::size_t>(at.at(0).as_int()))
          .as_record()
          .set(std::string(at.at(1).as_text()), -0.0);
    }
  }
  for (const Value& lookup_value : answer.at("lookups").as_list()) {
    const List& lookup = lookup_value.as_list();
    const std::string_view kind = lookup.at(0).as_text();
    const std::string_view text = lookup.at(1).as_text();
    std::string selector = kind == "#" ? "#" + css_identifier(text) : "label[for=" + css_string(text) + "]";
    lookups_.emplace(std::move(selector), lookup.at(2).as_int());
  }
}

ElementHandles RecordedPage::query_selector_all(std::string_view selector) {
  const Value* found = queries_ ? queries_->find(selector) : nullptr;
  if (!found) {
    ++live_calls_;
    return live_.query_selector_all(selector);
  }
  ElementHandles handles;
  const List& indices = found->as_list();
  for (std::size_t position = 0; position < indices.size(); ++position) {
    const Record& element = elements_->at(static_cast<std::size_t>(indices[position].as_int())).as_record();
    auto locate = [this, query = std::string(selector), position]() -> ElementHandle* {
      auto found = live_queries_.find(query);
      if (found == live_queries_.end()) found = live_queries_.emplace(query, live_.query_selector_all(query)).first;
      return position < found->second.size() ? found->second[position].get() : nullptr;
    };
    handles.push_back(std::make_unique<RecordedElement>(*this, element, std::move(locate)));
  }
  return handles;
}

std::unique_ptr<ElementHandle> RecordedPage::query_selector(std::string_view selector) {
  const auto found = lookups_.find(selector);
  if (found == lookups_.end()) {
    ++live_calls_;
    return live_.query_selector(selector);
  }
  if (found->second == -2) fail("the selector " + std::string(selector) + " failed");
  if (found->second < 0) return nullptr;
  const Record& element = elements_->at(static_cast<std::size_t>(found->second)).as_record();
  auto locate = [this, query = std::string(selector)]() -> ElementHandle* {
    std::unique_ptr<ElementHandle> found = live_.query_selector(query);
    if (!found) return nullptr;
    live_lookups_.push_back(std::move(found));
    return live_lookups_.back().get();
  };
  return std::make_unique<RecordedElement>(*this, element, std::move(locate));
}

Value RecordedPage::evaluate(std::string_view script) {
  if (record_ && script == scripts::cursor_pointer) {
    if (const Value* error = record_->find("cursor_error")) fail(std::string(error->as_text()));
    if (!cursor_.is_null()) return cursor_;
  }
  ++live_calls_;
  return live_.evaluate(script);
}

}  // namespace vantor::scan
