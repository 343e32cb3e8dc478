// The reporter's records as Python dicts: the outcome records it writes, and
// what it reads from the caller's element descriptors, resolution results
// and (for the summary and the page) from the outcome records themselves.
#pragma once

#include <nanobind/nanobind.h>

#include <optional>
#include <string_view>
#include <vector>

#include "report/outcome_log.hpp"
#include "support/record_fields.hpp"
#include "support/record_shape.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

enum class OutcomeKey {
  status,
  instruction,
  strategy,
  element_tag,
  element_text,
  element_label,
  locator,
  reasons,
  top_candidate,
  state,
  extracted
};
// Every key an outcome record may have, by name.
const RecordShape<OutcomeKey>& outcome_keys();
// The blank record of each logging call.
const Shape& success_record();
const Shape& failure_record();
const Shape& verification_record();

PyObject* pass_str();

bool is_non_empty_dict(nb::handle obj);

// What the outcome records keep of an element descriptor: all strs, the
// empty str for whatever the element lacks.
struct ElementFacts {
  nb::object tag, text, label, locator;
};
ElementFacts element_facts(nb::handle element, const char* function);

// A result's confidence: a float, an int (bool included) or any other number
// that converts to a float (a numpy scalar, say), taken as that float.
double confidence_of(nb::handle result, const char* holder);

// The first entry of a result's "candidates" list; none when the list is
// missing, not a list or empty. Its texts are held by `texts`.
std::optional<report::Candidate> first_candidate(nb::handle result, HeldTexts& texts);

// The outcome records as the summary and the page read them. Every record
// needs "status"; the page needs every record's "instruction", the summary
// only the failures'. A missing one is a KeyError before anything is printed
// or written.
class RecordReader {
 public:
  // list: Reporter.results, already checked to be a list.
  explicit RecordReader(nb::handle list) : results_(nb::borrow(list)) {}

  template <typename Visit>
  void each(Visit visit) {
    // The length is read again after every record: reading one may run
    // caller code (str() of a value) that changes the list.
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(results_.ptr()); ++i) visit(record(i));
  }

  // The entry's text; a KeyError when it is missing.
  std::string_view required(nb::handle record, OutcomeKey key);
  // The entry's text when it is present and truthy.
  std::optional<std::string_view> truthy(nb::handle record, OutcomeKey key);
  std::optional<std::string_view> present(nb::handle record, OutcomeKey key);
  std::string_view text_of(nb::handle value) { return texts_.text_of(value.ptr()); }

 private:
  nb::handle record(Py_ssize_t i);

  nb::object results_;
  std::vector<nb::object> held_;
  HeldTexts texts_;
};

}  // namespace vantor::bindings
