// How the page scanner reads the page and writes its snapshots: the whole
// page in one in-page call where that applies, else element by element; a
// snapshot file when the host's settings ask for one.
#pragma once

#include <nanobind/nanobind.h>

#include <exception>
#include <string_view>

#include "scan/page.hpp"
#include "scan/recorded_page.hpp"
#include "scan/scripts.hpp"
#include "support/arguments.hpp"
#include "support/python_page.hpp"
#include "values/value.hpp"

namespace vantor::bindings {

namespace nb = nanobind;
namespace scan = vantor::scan;

// Writes {"url", "elements", "text_elements"} to LOG_PATH when the host's
// settings ask for snapshots; both settings are read anew at every call.
void save_snapshot(nb::handle page, const values::Value& elements, const values::Value& text_elements);

// Whether this scan gathers the page in one call: only for the browser
// driver's own page type, whose answers the record reproduces, and unless
// the settings ask for the per-element protocol (PER_ELEMENT_SCAN, for
// debugging).
bool single_pass_applies(nb::handle page);

// The answer of an in-page script that answers in JSON, parsed; None when
// the page gave back something else (a stand-in page that runs no scripts).
values::Value json_answer(PythonPage& page, std::string_view script);

// Runs `scan` on the record of one in-page call when the single pass
// applies, else (or when the page cannot be recorded) on the live page.
// `page` holds what the answers refer to: it must outlive their conversion.
//
// A page whose own code broke the record script (it threw, or patched
// built-ins it relies on, so the record came back malformed) is read element
// by element, as for shadow roots: the driver's own calls are immune to page
// code. Only an interruption (KeyboardInterrupt, SystemExit) goes through; an
// error the page would give either way comes back from the second reading.
template <typename Scan>
auto scan_page_with(PythonPage& page, nb::handle page_object, bool text_only, Scan&& scan,
                    values::Value* facts = nullptr) {
  if (single_pass_applies(page_object)) {
    try {
      const values::Value record = json_answer(page, scan::page_record_script(text_only, facts != nullptr));
      if (record.is_record()) {
        scan::RecordedPage recorded(page, record);
        if (recorded.unsupported().empty()) {
          auto result = scan(static_cast<scan::PageHandle&>(recorded));
          if (facts) *facts = record.as_record().get("facts", values::Value());
          return result;
        }
      }
    } catch (nb::python_error& error) {
      if (!error.matches(PyExc_Exception)) throw;
    } catch (const std::exception&) {
      // a malformed record: read the page element by element
    }
  }
  return scan(static_cast<scan::PageHandle&>(page));
}

}  // namespace vantor::bindings
