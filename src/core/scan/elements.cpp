#include "scan/elements.hpp"

#include <set>
#include <string>
#include <utility>

#include "scan/labels.hpp"
#include "scan/scripts.hpp"
#include "scan/tables.hpp"
#include "text/case.hpp"
#include "text/whitespace.hpp"
#include "values/text_form.hpp"

namespace vantor::scan {
namespace {

using values::List;
using values::Record;
using values::Value;

std::string trimmed(std::string_view s) { return std::string(text::strip(s)); }

// Reads the lower-case tag name through the page; it must be a string.
std::string tag_of(ElementHandle& element) { return std::string(element.evaluate(scripts::tag_name).as_text()); }

std::optional<Record> read_native(PageHandle& page, ElementHandle& element) {
  const bool visible = element.is_visible();
  const bool enabled = element.is_enabled();
  const std::string tag = tag_of(element);
  std::string text = trimmed(element.inner_text());
  if (text.empty()) text = trimmed(element.attribute("value").value_or(""));
  Value box = element.bounding_box();
  if (!has_area(box)) return std::nullopt;
  // A hidden element counts only when it still names itself.
  if (!visible) {
    const std::string aria_label = element.attribute("aria-label").value_or("");
    const std::string title = element.attribute("title").value_or("");
    if (aria_label.empty() && title.empty()) return std::nullopt;
  }
  Record attributes = captured_attributes_of(element);
  merge_data_attributes(attributes, element.evaluate(scripts::data_attributes));
  Value xpath = element.evaluate(scripts::xpath);
  if (tag == "input" || tag == "textarea") {
    std::string label = field_label(page, element);
    if (!label.empty()) attributes.set("_label", std::move(label));
  }
  Record descriptor;
  descriptor.set("tag", tag);
  descriptor.set("text", std::move(text));
  descriptor.set("attributes", std::move(attributes));
  descriptor.set("bounding_box", std::move(box));
  descriptor.set("is_visible", visible);
  descriptor.set("is_enabled", enabled);
  descriptor.set("xpath", std::move(xpath));
  return descriptor;
}

// The key under which an XPath is remembered: a string as itself, anything
// else (never met from the real page) by its kind and text form.
std::string seen_key(const Value& xpath) {
  if (xpath.is_text()) return std::string(xpath.as_text());
  return std::string(1, '\0') + std::string(values::kind_name(xpath)) + values::text_form(xpath);
}

std::optional<Record> read_custom_input(PageHandle& page, ElementHandle& element, std::set<std::string>& seen_xpaths) {
  const std::string tag = tag_of(element);
  const std::string classes = element.attribute("class").value_or("");
  if (!is_custom_input(tag, classes)) return std::nullopt;
  Value box = element.bounding_box();
  if (!has_area(box)) return std::nullopt;
  if (!element.is_visible()) return std::nullopt;
  Value xpath = element.evaluate(scripts::xpath);
  if (!seen_xpaths.insert(seen_key(xpath)).second) return std::nullopt;
  std::string text = trimmed(element.inner_text());
  std::string label = field_label(page, element);
  Record attributes = captured_attributes_of(element);
  if (!label.empty()) attributes.set("_label", std::move(label));
  Record descriptor;
  descriptor.set("tag", tag);
  descriptor.set("text", std::move(text));
  descriptor.set("attributes", std::move(attributes));
  descriptor.set("bounding_box", std::move(box));
  descriptor.set("is_visible", true);
  descriptor.set("is_enabled", true);
  descriptor.set("is_editable_field", true);
  descriptor.set("xpath", std::move(xpath));
  return descriptor;
}

Record cursor_pointer_descriptor(const Record& item, const Value& xpath) {
  static const Value none;
  Record attributes;
  if (const Value& cls = item.get("cls", none); cls.truthy()) attributes.set("class", cls);
  if (const Value& aria = item.get("aria", none); aria.truthy()) attributes.set("aria-label", aria);
  Record box;
  box.set("x", item.at("x"));
  box.set("y", item.at("y"));
  box.set("width", item.at("w"));
  box.set("height", item.at("h"));
  Record descriptor;
  descriptor.set("tag", "button");
  descriptor.set("text", item.at("text"));
  descriptor.set("attributes", std::move(attributes));
  descriptor.set("bounding_box", std::move(box));
  descriptor.set("is_visible", true);
  descriptor.set("is_enabled", true);
  descriptor.set("xpath", xpath);
  return descriptor;
}

}  // namespace

bool has_area(const Value& box) {
  if (!box.truthy()) return false;
  static const Value zero(0);
  const Record& record = box.as_record();
  return record.get("width", zero).as_number() > 0 && record.get("height", zero).as_number() > 0;
}

Record captured_attributes_of(ElementHandle& element) {
  Record attributes;
  for (std::string_view name : captured_attributes)
    if (std::optional<std::string> value = element.attribute(name))
      attributes.set(std::string(name), std::move(*value));
  return attributes;
}

void merge_data_attributes(Record& attributes, const Value& data) {
  if (data.is_null()) return;
  for (const values::Entry& entry : data.as_record().entries()) attributes.set(entry.key, entry.value);
}

bool is_custom_input(std::string_view tag, std::string_view classes) {
  if (tag == "input" || tag == "textarea" || tag == "select") return false;
  const std::string lowered = text::lower(classes);
  return lowered.find("editable") != std::string::npos || lowered.find("input") != std::string::npos;
}

List extract_native_elements(PageHandle& page) {
  List elements;
  for (const auto& element : page.query_selector_all(interactable_selector())) {
    auto descriptor = unless_element_error(page, [&] { return read_native(page, *element); });
    if (descriptor) elements.emplace_back(std::move(*descriptor));
  }
  return elements;
}

List extract_custom_inputs(PageHandle& page) {
  List results;
  std::set<std::string> seen_xpaths;
  for (const auto& element : page.query_selector_all(custom_input_selector)) {
    auto descriptor = unless_element_error(page, [&] { return read_custom_input(page, *element, seen_xpaths); });
    if (descriptor) results.emplace_back(std::move(*descriptor));
  }
  return results;
}

List extract_cursor_pointer_elements(PageHandle& page) {
  // Only the in-page call is guarded: a page that cannot run it has no such
  // elements, while a malformed answer is an error of the caller's page.
  std::optional<Value> raw =
      unless_element_error(page, [&]() -> std::optional<Value> { return page.evaluate(scripts::cursor_pointer); });
  if (!raw || !raw->truthy()) return {};  // no answer reads as no items
  List results;
  std::set<std::string> seen;
  static const Value empty_text("");
  for (const Value& item_value : raw->as_list()) {
    const Record& item = item_value.as_record();
    const Value& xpath = item.get("xpath", empty_text);
    if (!seen.insert(seen_key(xpath)).second) continue;
    results.emplace_back(cursor_pointer_descriptor(item, xpath));
  }
  return results;
}

}  // namespace vantor::scan
