#include "scan/text_elements.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "scan/elements.hpp"
#include "scan/scripts.hpp"
#include "scan/tables.hpp"
#include "text/whitespace.hpp"

namespace vantor::scan {
namespace {

using values::List;
using values::Record;
using values::Value;

std::optional<Record> read_text_element(ElementHandle& element) {
  if (!element.is_visible()) return std::nullopt;
  std::string text(text::strip(element.inner_text()));
  if (text.empty()) return std::nullopt;
  Value box = element.bounding_box();
  if (!box.truthy()) return std::nullopt;  // no size test: a zero-size box still places the text
  Value tag = element.evaluate(scripts::tag_name);
  Value xpath = element.evaluate(scripts::xpath);
  Record attributes;
  for (std::string_view name : text_attributes)
    if (std::optional<std::string> value = element.attribute(name))
      attributes.set(std::string(name), std::move(*value));
  merge_data_attributes(attributes, element.evaluate(scripts::data_attributes));
  const bool has_direct_text = element.evaluate(scripts::has_direct_text).truthy();
  Record descriptor;
  descriptor.set("tag", std::move(tag));
  descriptor.set("text", std::move(text));
  descriptor.set("has_direct_text", has_direct_text);
  descriptor.set("attributes", std::move(attributes));
  descriptor.set("bounding_box", std::move(box));
  descriptor.set("is_visible", true);
  descriptor.set("is_enabled", true);
  descriptor.set("xpath", std::move(xpath));
  return descriptor;
}

struct Box {
  double x, y, width, height;
  explicit Box(const Record& record)
      : x(record.at("x").as_number()),
        y(record.at("y").as_number()),
        width(record.at("width").as_number()),
        height(record.at("height").as_number()) {}
  double area() const { return width * height; }
  // Strict on all sides: boxes that only touch do not overlap.
  bool overlaps(const Box& b) const {
    return x < b.x + b.width && x + width > b.x && y < b.y + b.height && y + height > b.y;
  }
};

// The same record met twice in the list is still the element itself.
bool same_record(const Value& a, const Value& b) { return &a == &b || (a.origin() && a.origin() == b.origin()); }

// One candidate's box and text, each read from its record the first time the
// comparison needs it (every wrapper is compared with every candidate); a
// record read again gives the same answer, so a malformed one still fails
// exactly where it first matters.
class CandidateView {
 public:
  explicit CandidateView(const Value& record) : record_(record) {}
  const Box& box() {
    if (!box_) box_.emplace(record_.as_record().at("bounding_box").as_record());
    return *box_;
  }
  std::string_view text() {
    if (!text_) text_ = record_.as_record().at("text").as_text();
    return *text_;
  }

 private:
  const Value& record_;
  std::optional<Box> box_;
  std::optional<std::string_view> text_;
};

bool accounted_for(const List& candidates, std::vector<CandidateView>& views, std::size_t index) {
  const std::string_view wrapper_text = views[index].text();
  const Box wrapper_box = views[index].box();
  std::string remaining(wrapper_text);
  bool any = false;
  for (std::size_t other = 0; other < candidates.size(); ++other) {
    if (same_record(candidates[other], candidates[index])) continue;
    const Box& other_box = views[other].box();
    if (!(other_box.area() < wrapper_box.area()) || !other_box.overlaps(wrapper_box)) continue;
    const std::string_view other_text = views[other].text();
    if (wrapper_text.find(other_text) == std::string_view::npos) continue;
    any = true;
    if (const std::size_t at = remaining.find(other_text); at != std::string::npos)
      remaining.erase(at, other_text.size());
  }
  return any && text::strip(remaining).empty();
}

}  // namespace

std::vector<std::size_t> dedup_text_elements(const List& candidates) {
  std::vector<std::size_t> keep;
  std::vector<CandidateView> views(candidates.begin(), candidates.end());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (candidates[i].as_record().at("has_direct_text").truthy() || !accounted_for(candidates, views, i))
      keep.push_back(i);
  }
  return keep;
}

List extract_text_elements(PageHandle& page) {
  List candidates;
  for (const auto& element : page.query_selector_all(text_selector())) {
    std::optional<Record> descriptor = unless_element_error(page, [&] { return read_text_element(*element); });
    if (descriptor) candidates.emplace_back(std::move(*descriptor));
  }
  List kept;
  for (std::size_t i : dedup_text_elements(candidates)) kept.push_back(std::move(candidates[i]));
  return kept;
}

}  // namespace vantor::scan
