// A page answered from a record of it: everything one scan reads, gathered
// by a single in-page call (src/js/single_pass). The scan's rules run
// unchanged against it, so its results are those of the live page read one
// call at a time, at the cost of one round trip. A question the record holds
// no answer for goes to the live page (and is counted), so an incomplete
// record costs time, never a different result.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "scan/page.hpp"
#include "values/value.hpp"

namespace vantor::scan {

// The function text that gathers the record, as a JSON text; text_only
// gathers just what extract_text_elements() reads; with_facts adds the page
// facts of every element given an XPath (under "facts", see page_facts.hpp).
const std::string& page_record_script(bool text_only, bool with_facts = false);

class RecordedPage final : public PageHandle {
 public:
  // `record` is the parsed answer of page_record_script(); `live` answers
  // what the record does not hold. Both must outlive this page.
  RecordedPage(PageHandle& live, const values::Value& record);

  // Why the record cannot stand in for the page (empty when it can).
  std::string_view unsupported() const { return unsupported_; }
  // Questions the record could not answer and the live page did.
  std::size_t live_calls() const { return live_calls_; }

  ElementHandles query_selector_all(std::string_view selector) override;
  std::unique_ptr<ElementHandle> query_selector(std::string_view selector) override;
  values::Value evaluate(std::string_view script) override;
  bool is_element_error(const std::exception_ptr& error) const override { return live_.is_element_error(error); }

 private:
  friend class RecordedElement;

  PageHandle& live_;
  const values::List* elements_ = nullptr;
  const values::Record* queries_ = nullptr;
  const values::Record* record_ = nullptr;
  std::map<std::string, std::int64_t, std::less<>> lookups_;  // selector to element index, -1 none, -2 error
  values::Value cursor_;                                      // the pointer-cursor items, negative zeros restored
  std::string unsupported_;
  // The live elements met when the record fell short, by the query that found them.
  std::map<std::string, ElementHandles, std::less<>> live_queries_;
  std::vector<std::unique_ptr<ElementHandle>> live_lookups_;
  std::size_t live_calls_ = 0;
};

}  // namespace vantor::scan
