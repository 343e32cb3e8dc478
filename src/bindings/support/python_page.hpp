// The scanner's page and element handles, backed by the Python objects the
// caller lends: a playwright.sync_api Page and its element handles, or any
// stand-in offering the same operations. Every operation is one Python call;
// what the page returns is read into core values that keep referring to the
// page's own objects (a box record comes back to the caller as itself).
#pragma once

#include <nanobind/nanobind.h>

#include "scan/page.hpp"
#include "support/convert.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

class PythonElement final : public scan::ElementHandle {
 public:
  // `values` holds what the element's answers refer to; it must outlive them.
  PythonElement(nb::handle handle, CallerValues& values) : handle_(nb::borrow(handle)), values_(values) {}

  bool is_visible() override;
  bool is_enabled() override;
  std::string inner_text() override;
  std::optional<std::string> attribute(std::string_view name) override;
  values::Value bounding_box() override;
  values::Value evaluate(std::string_view script) override;

 private:
  nb::object handle_;
  CallerValues& values_;
};

class PythonPage final : public scan::PageHandle {
 public:
  explicit PythonPage(nb::handle page) : page_(nb::borrow(page)) {}

  scan::ElementHandles query_selector_all(std::string_view selector) override;
  std::unique_ptr<scan::ElementHandle> query_selector(std::string_view selector) override;
  values::Value evaluate(std::string_view script) override;
  // What Python's `except Exception` catches: everything but the likes of
  // KeyboardInterrupt and SystemExit.
  bool is_element_error(const std::exception_ptr& error) const override;

  // Holds the page's answers for as long as this page lives.
  CallerValues& values() { return values_; }

 private:
  nb::object page_;
  CallerValues values_;
};

}  // namespace vantor::bindings
