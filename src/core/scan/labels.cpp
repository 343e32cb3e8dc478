#include "scan/labels.hpp"

#include <limits>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "scan/css_escape.hpp"
#include "scan/scripts.hpp"
#include "scan/tables.hpp"
#include "text/utf8.hpp"
#include "text/whitespace.hpp"

namespace vantor::scan {
namespace {

using values::List;
using values::Record;
using values::Value;

constexpr std::size_t candidate_max_characters = 60;
constexpr double candidate_max_height = 40;

std::size_t character_count(std::string_view s) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < s.size(); pos += text::decode_at(s, pos).length) ++count;
  return count;
}

// An attribute that counts when it is not blank, trimmed.
std::string plain_attribute_label(ElementHandle& element, std::string_view name) {
  return std::string(text::strip(element.attribute(name).value_or("")));
}

std::string text_of_first(PageHandle& page, std::string_view selector) {
  const std::unique_ptr<ElementHandle> found = page.query_selector(selector);
  return found ? std::string(text::strip(found->inner_text())) : std::string();
}

// aria-labelledby holds a list of ids separated by (ASCII) whitespace; the
// label joins the texts of the named elements with one space, as browsers
// compute the name.
std::string labelledby_label(PageHandle& page, std::string_view ids) {
  std::string label;
  auto is_separator = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; };
  for (std::size_t pos = 0; pos < ids.size();) {
    if (is_separator(ids[pos])) {
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < ids.size() && !is_separator(ids[end])) ++end;
    const std::string text = text_of_first(page, "#" + css_identifier(ids.substr(pos, end - pos)));
    if (!text.empty()) {
      if (!label.empty()) label += ' ';
      label += text;
    }
    pos = end;
  }
  return label;
}

std::string script_label(ElementHandle& element, std::string_view script) {
  const Value result = element.evaluate(script);
  return result.is_text() ? std::string(text::strip(result.as_text())) : std::string();
}

// A source that may fail: its error yields nothing and the next source runs.
template <typename Source>
std::string quietly(const PageHandle& page, Source&& source) {
  return unless_element_error(page, std::forward<Source>(source));
}

std::optional<Record> read_candidate(ElementHandle& element) {
  if (!element.is_visible()) return std::nullopt;
  std::string text(text::strip(element.inner_text()));
  Value box = element.bounding_box();
  if (text.empty() || !box.truthy()) return std::nullopt;
  if (character_count(text) > candidate_max_characters ||
      box.as_record().at("height").as_number() > candidate_max_height)
    return std::nullopt;
  Record candidate;
  candidate.set("text", std::move(text));
  candidate.set("bounding_box", std::move(box));
  return candidate;
}

}  // namespace

std::string field_label(PageHandle& page, ElementHandle& element) {
  if (std::string label = plain_attribute_label(element, "aria-label"); !label.empty()) return label;
  if (const auto ids = element.attribute("aria-labelledby"); ids && !ids->empty()) {
    std::string label = quietly(page, [&] { return labelledby_label(page, *ids); });
    if (!label.empty()) return label;
  }
  if (const auto id = element.attribute("id"); id && !id->empty()) {
    std::string label = quietly(page, [&] { return text_of_first(page, "label[for=" + css_string(*id) + "]"); });
    if (!label.empty()) return label;
  }
  for (std::string_view name : {"placeholder", "title"})
    if (std::string label = plain_attribute_label(element, name); !label.empty()) return label;
  for (std::string_view script : {scripts::previous_sibling_text, scripts::parent_text, scripts::wrapping_label_text})
    if (std::string label = quietly(page, [&] { return script_label(element, script); }); !label.empty()) return label;
  return {};
}

List collect_label_candidates(PageHandle& page) {
  List candidates;
  std::set<std::string, std::less<>> seen;
  for (const auto& element : page.query_selector_all(label_candidate_selector)) {
    std::optional<Record> candidate = unless_element_error(page, [&] { return read_candidate(*element); });
    if (!candidate) continue;
    if (!seen.insert(std::string(candidate->at("text").as_text())).second) continue;
    candidates.emplace_back(std::move(*candidate));
  }
  return candidates;
}

namespace {

// One candidate's numbers and text, each read from its record the first
// time the comparison needs it: every element is compared with every
// candidate, and a record read the same way again gives the same answer, so
// reading once changes nothing but the time (a malformed candidate still
// fails exactly where it first matters).
class CandidateView {
 public:
  explicit CandidateView(const Value& record) : record_(record) {}
  double bottom() {
    if (!bottom_) bottom_ = box().at("y").as_number() + box().at("height").as_number();
    return *bottom_;
  }
  double x() {
    if (!x_) x_ = box().at("x").as_number();
    return *x_;
  }
  double right() {
    if (!right_) right_ = x() + box().at("width").as_number();
    return *right_;
  }
  std::string_view text() {
    if (!text_) text_ = record_.as_record().at("text").as_text();
    return *text_;
  }

 private:
  const Record& box() { return record_.as_record().at("bounding_box").as_record(); }
  const Value& record_;
  std::optional<double> bottom_, x_, right_;
  std::optional<std::string_view> text_;
};

}  // namespace

std::vector<SpatialLabel> spatial_labels(const List& elements, const List& candidates) {
  static const Value none;
  static const Value no_attributes{Record{}};
  std::vector<CandidateView> views(candidates.begin(), candidates.end());
  std::vector<SpatialLabel> labels;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const Record& element = elements[i].as_record();
    if (element.get("attributes", no_attributes).as_record().get("_label", none).truthy()) continue;
    const Value& box_value = element.get("bounding_box", none);
    if (!box_value.truthy()) continue;
    const Record& box = box_value.as_record();
    const double el_x = box.at("x").as_number(), el_w = box.at("width").as_number(), el_y_top = box.at("y").as_number();
    std::string_view best_text;
    double best_dist = std::numeric_limits<double>::infinity();
    for (CandidateView& candidate : views) {
      const double c_bottom = candidate.bottom();
      if (c_bottom > el_y_top) continue;  // not above the element
      const double c_x = candidate.x();
      const double c_x_right = candidate.right();
      if (c_x <= el_x + el_w && c_x_right >= el_x) {  // touching edges overlap
        const double vertical_dist = el_y_top - c_bottom;
        if (vertical_dist < best_dist) {
          best_dist = vertical_dist;
          best_text = candidate.text();
        }
      }
    }
    if (!best_text.empty()) labels.push_back({i, std::string(best_text)});
  }
  return labels;
}

void assign_spatial_labels(List& elements, const List& candidates) {
  for (SpatialLabel& label : spatial_labels(elements, candidates)) {
    Record& element = elements[label.element].as_record();
    Value attributes = element.at("attributes");
    attributes.as_record().set("_label", std::move(label.text));
    element.set("attributes", std::move(attributes));
  }
}

}  // namespace vantor::scan
