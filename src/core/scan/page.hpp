// The browser page as the scanner sees it: exactly the operations it calls,
// so that the scanning rules can be driven by a real browser page or by a
// stand-in. Every operation may throw (the element was detached, the page
// navigated, a time-out passed).
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "values/value.hpp"

namespace vantor::scan {

class ElementHandle {
 public:
  virtual ~ElementHandle() = default;
  virtual bool is_visible() = 0;
  virtual bool is_enabled() = 0;
  // The rendered text; an element without any reads as "".
  virtual std::string inner_text() = 0;
  // The attribute's value (possibly ""); nullopt when the element lacks it.
  virtual std::optional<std::string> attribute(std::string_view name) = 0;
  // The box record exactly as the page gave it; null when the element has no box.
  virtual values::Value bounding_box() = 0;
  // Runs a one-parameter function on the element and returns its result.
  virtual values::Value evaluate(std::string_view script) = 0;
};

using ElementHandles = std::vector<std::unique_ptr<ElementHandle>>;

class PageHandle {
 public:
  virtual ~PageHandle() = default;
  // The matching elements in document order.
  virtual ElementHandles query_selector_all(std::string_view selector) = 0;
  // The first matching element; nullptr when none matches.
  virtual std::unique_ptr<ElementHandle> query_selector(std::string_view selector) = 0;
  // Runs a function without parameters in the page and returns its result.
  virtual values::Value evaluate(std::string_view script) = 0;
  // Whether an error raised while one element was read only drops that
  // element. An interruption (the user pressing Ctrl-C) must not be dropped.
  virtual bool is_element_error(const std::exception_ptr& error) const = 0;
};

// Runs read() and gives back what it returns; when it throws an element
// error, gives back nothing instead (the element is left out silently).
template <typename Read>
auto unless_element_error(const PageHandle& page, Read&& read) -> decltype(read()) {
  try {
    return read();
  } catch (...) {
    if (!page.is_element_error(std::current_exception())) throw;
    return {};
  }
}

}  // namespace vantor::scan
