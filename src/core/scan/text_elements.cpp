#include "scan/text_elements.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "scan/box_index.hpp"
#include "scan/elements.hpp"
#include "scan/scripts.hpp"
#include "scan/tables.hpp"
#include "scan/text_account.hpp"
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

Box box_of(const Record& record) {
  return Box{record.at("x").as_number(), record.at("y").as_number(), record.at("width").as_number(),
             record.at("height").as_number()};
}

// The same record met twice in the list is still the element itself.
bool same_record(const Value& a, const Value& b) { return &a == &b || (a.origin() && a.origin() == b.origin()); }

// One candidate's box and text, each read from its record the first time a
// comparison needs it; a record read again gives the same answer, so a
// malformed one fails exactly where it first matters.
class CandidateView {
 public:
  explicit CandidateView(const Value& record) : record_(record) {}
  const Box& box() {
    if (!box_) box_ = box_of(record_.as_record().at("bounding_box").as_record());
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

class Accounting {
 public:
  Accounting(const List& candidates, std::span<const std::vector<std::string>> control_texts)
      : candidates_(candidates), control_texts_(control_texts), views_(candidates.begin(), candidates.end()) {}

  // Whether smaller overlapping candidates (and the selects inside) account
  // for the whole text of the wrapper at `index`. The first wrapper is
  // compared with every candidate, in list order, which reads every box (or
  // fails on the first malformed one) just as a plain comparison would; later
  // wrappers are compared only with the candidates their box can overlap.
  bool accounted_for(std::size_t index) {
    std::string text(views_[index].text());
    const Box wrapper = views_[index].box();
    bool any = take_out_control_texts(index, text);
    TextAccount account(std::move(text));
    auto account_with = [&](std::size_t other) {
      if (same_record(candidates_[other], candidates_[index])) return;
      const Box& other_box = views_[other].box();
      if (!(other_box.area() < wrapper.area()) || !other_box.overlaps(wrapper)) return;
      const std::string_view other_text = views_[other].text();
      if (!account.contains(other_text)) return;
      any = true;
      account.take_out(other_text);
    };
    if (!index_) {
      for (std::size_t other = 0; other < candidates_.size(); ++other) account_with(other);
      std::vector<Box> boxes;
      boxes.reserve(views_.size());
      for (CandidateView& view : views_) boxes.push_back(view.box());
      index_.emplace(boxes);
    } else {
      for (std::size_t other : index_->maybe_overlapping(wrapper)) account_with(other);
    }
    return any && account.only_whitespace_left();
  }

 private:
  bool take_out_control_texts(std::size_t index, std::string& text) const {
    bool any = false;
    if (index >= control_texts_.size()) return any;
    for (const std::string& control_text : control_texts_[index]) {
      if (control_text.empty()) continue;
      if (const std::size_t at = text.find(control_text); at != std::string::npos) {
        text.erase(at, control_text.size());
        any = true;
      }
    }
    return any;
  }

  const List& candidates_;
  std::span<const std::vector<std::string>> control_texts_;
  std::vector<CandidateView> views_;
  std::optional<BoxIndex> index_;
};

// The texts of the selects shown inside a text element without text of its own.
std::vector<std::string> read_control_texts(ElementHandle& element) {
  std::vector<std::string> texts;
  const Value answer = element.evaluate(scripts::select_texts);
  if (!answer.is_list()) return texts;
  for (const Value& item : answer.as_list())
    if (item.is_text()) texts.emplace_back(item.as_text());
  return texts;
}

}  // namespace

std::vector<std::size_t> dedup_text_elements(const List& candidates,
                                             std::span<const std::vector<std::string>> control_texts) {
  std::vector<std::size_t> keep;
  Accounting accounting(candidates, control_texts);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (candidates[i].as_record().at("has_direct_text").truthy() || !accounting.accounted_for(i)) keep.push_back(i);
  }
  return keep;
}

List extract_text_elements(PageHandle& page) {
  List candidates;
  std::vector<std::vector<std::string>> control_texts;
  for (const auto& element : page.query_selector_all(text_selector())) {
    std::optional<Record> descriptor = unless_element_error(page, [&]() -> std::optional<Record> {
      std::optional<Record> read = read_text_element(*element);
      if (read)
        control_texts.push_back(read->at("has_direct_text").truthy() ? std::vector<std::string>{}
                                                                     : read_control_texts(*element));
      return read;
    });
    if (descriptor) candidates.emplace_back(std::move(*descriptor));
  }
  List kept;
  for (std::size_t i : dedup_text_elements(candidates, control_texts)) kept.push_back(std::move(candidates[i]));
  return kept;
}

}  // namespace vantor::scan
