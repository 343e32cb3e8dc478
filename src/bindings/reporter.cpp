// vantor.engine.agent.reporter: the Reporter class, which logs each step's
// outcome, prints the run summary and writes the HTML report.
#include <nanobind/nanobind.h>

#include <string>
#include <utility>
#include <vector>

#include "files/atomic_write.hpp"
#include "report/clock.hpp"
#include "report/html_report.hpp"
#include "report/outcome_log.hpp"
#include "report/outcome_records.hpp"
#include "report/run_summary.hpp"
#include "support/arguments.hpp"
#include "support/console.hpp"
#include "support/convert.hpp"
#include "support/define.hpp"
#include "support/error_translation.hpp"
#include "support/held_objects.hpp"
#include "text/utf8.hpp"
#include "values/text_form.hpp"

namespace nb = nanobind;
using vantor::bindings::make_str;
using vantor::bindings::OutcomeKey;
using vantor::bindings::print_line;
using vantor::bindings::put;
using vantor::bindings::str_argument;
using vantor::bindings::Utf8;
namespace report = vantor::report;

namespace {

// The outcome records and the start time: plain Python objects the runner
// reads (and extends) between calls, and may put anything into, the reporter
// itself included; so the collector sees both.
struct Reporter {
  nb::object results;     // list of outcome records
  nb::object started_at;  // str
};

// "Reporter.results must be list, not tuple".
[[noreturn]] void raise_attribute_type(const char* attribute, const char* expected, nb::handle actual) {
  PyErr_Format(PyExc_TypeError, "Reporter.%s must be %s, not %s", attribute, expected,
               actual.is_none() ? "None" : Py_TYPE(actual.ptr())->tp_name);
  throw nb::python_error();
}

PyObject* key(OutcomeKey k) { return vantor::bindings::outcome_keys().key(k); }
void print_lines(std::vector<std::string> lines) {
  for (std::string& line : lines) print_line(std::move(line));
}

nb::list results_list(Reporter& self) {
  if (!self.results.is_valid() || !PyList_Check(self.results.ptr()))
    throw nb::type_error("Reporter.results must be a list");
  return nb::borrow<nb::list>(self.results);
}

void append(Reporter& self, const nb::dict& record) {
  if (PyList_Append(results_list(self).ptr(), record.ptr()) != 0) throw nb::python_error();
}

void put_element(PyObject* record, const vantor::bindings::ElementFacts& facts, bool label) {
  put(record, key(OutcomeKey::element_tag), facts.tag.ptr());
  put(record, key(OutcomeKey::element_text), facts.text.ptr());
  if (label) put(record, key(OutcomeKey::element_label), facts.label.ptr());
  put(record, key(OutcomeKey::locator), facts.locator.ptr());
}

// --- Logging ----------------------------------------------------------------

void log_success(Reporter& self, nb::handle instruction, nb::handle strategy_used, nb::handle element) {
  const Utf8 instruction_text = str_argument(instruction, "log_success", "instruction");
  const Utf8 strategy_text = str_argument(strategy_used, "log_success", "strategy_used");
  vantor::bindings::dict_argument(element, "log_success", "element");
  const auto facts = vantor::bindings::element_facts(element, "log_success");

  const nb::dict record = vantor::bindings::success_record().make();
  put(record.ptr(), key(OutcomeKey::instruction), instruction.ptr());
  put(record.ptr(), key(OutcomeKey::strategy), strategy_used.ptr());
  put_element(record.ptr(), facts, true);
  append(self, record);
  print_line(report::success_line(instruction_text.view(), strategy_text.view()));
}

void log_failure(Reporter& self, nb::handle instruction, nb::handle dom_result, nb::handle spatial_result,
                 nb::handle florence_result) {
  const Utf8 instruction_text = str_argument(instruction, "log_failure", "instruction");
  vantor::bindings::dict_argument(dom_result, "log_failure", "dom_result");
  vantor::bindings::optional_dict_argument(spatial_result, "log_failure", "spatial_result");
  vantor::bindings::optional_dict_argument(florence_result, "log_failure", "florence_result");

  // Only the results that say something (non-empty dicts) are reported.
  const nb::handle given[] = {dom_result, spatial_result, florence_result};
  const char* arguments[] = {"dom_result", "spatial_result", "florence_result"};
  std::vector<report::StrategyResult> results;
  std::vector<nb::handle> result_objects;
  for (std::size_t i = 0; i < 3; ++i) {
    if (!vantor::bindings::is_non_empty_dict(given[i])) continue;
    results.push_back({report::failure_strategies[i], vantor::bindings::confidence_of(given[i], arguments[i])});
    result_objects.push_back(given[i]);
  }
  vantor::bindings::HeldTexts texts;
  const report::FailureDetails details = report::describe_failure(
      results, [&](std::size_t i) { return vantor::bindings::first_candidate(result_objects[i], texts); });

  const nb::dict record = vantor::bindings::failure_record().make();
  put(record.ptr(), key(OutcomeKey::instruction), instruction.ptr());
  if (!details.reasons.empty()) put(record.ptr(), key(OutcomeKey::reasons), make_str(details.reasons).ptr());
  if (!details.top_candidate.empty())
    put(record.ptr(), key(OutcomeKey::top_candidate), make_str(details.top_candidate).ptr());
  append(self, record);
  print_lines(report::failure_lines(instruction_text.view(), details));
}

void log_verification(Reporter& self, nb::handle instruction, nb::handle passed, nb::handle element, nb::handle state) {
  const Utf8 instruction_text = str_argument(instruction, "log_verification", "instruction");
  if (!PyBool_Check(passed.ptr())) vantor::bindings::raise_argument_type("log_verification", "passed", "bool", passed);
  vantor::bindings::optional_dict_argument(element, "log_verification", "element");
  vantor::bindings::optional_dict_argument(state, "log_verification", "state");
  const bool pass = passed.ptr() == Py_True;
  const auto facts = vantor::bindings::element_facts(element, "log_verification");

  // The state line writes the record as the host's repr() would.
  const bool has_state = vantor::bindings::is_non_empty_dict(state);
  std::string state_text;
  if (has_state) {
    vantor::bindings::CallerValues values;
    state_text = vantor::values::text_form(values.read(state));
  }

  const nb::dict record = vantor::bindings::verification_record().make();
  if (pass) put(record.ptr(), key(OutcomeKey::status), vantor::bindings::pass_str());
  put(record.ptr(), key(OutcomeKey::instruction), instruction.ptr());
  const nb::dict fresh_state;
  put_element(record.ptr(), facts, false);
  put(record.ptr(), key(OutcomeKey::state), has_state ? state.ptr() : fresh_state.ptr());
  append(self, record);
  print_lines(report::verification_lines(pass, instruction_text.view(), state_text));
}

// --- Summary and report -----------------------------------------------------

std::string_view started_at_text(Reporter& self, vantor::bindings::HeldTexts& texts) {
  if (!self.started_at.is_valid()) throw nb::type_error("Reporter._started_at must be a str");
  return texts.text_of(self.started_at.ptr());
}

void save_html(Reporter& self) {
  vantor::bindings::RecordReader reader(results_list(self));
  std::vector<report::ReportRow> rows;
  reader.each([&](nb::handle record) {
    report::ReportRow row;
    row.status = reader.required(record, OutcomeKey::status);
    row.instruction = reader.required(record, OutcomeKey::instruction);
    // The first of these that is present and truthy.
    for (OutcomeKey k : {OutcomeKey::reasons, OutcomeKey::extracted, OutcomeKey::element_text}) {
      if (const auto detail = reader.truthy(record, k)) {
        row.detail = *detail;
        break;
      }
    }
    rows.push_back(row);
  });
  vantor::bindings::HeldTexts texts;
  const std::string page = report::html_page(started_at_text(self, texts), rows);

  // The file is UTF-8; a lone surrogate cannot be written in it. Refused
  // before the file is touched, with the error the host's own encoder gives.
  if (vantor::text::has_surrogate(page)) vantor::bindings::checked(PyUnicode_AsUTF8String(make_str(page).ptr()));
  vantor::files::make_directories(std::string(report::report_directory));
  vantor::files::replace_file(std::string(report::report_path), page);
  print_line(report::report_written_line());
}

void summary(Reporter& self) {
  std::vector<report::SummaryRecord> records;
  {
    vantor::bindings::RecordReader reader(results_list(self));
    reader.each([&](nb::handle record) {
      report::SummaryRecord r{};
      const std::string_view status = reader.required(record, OutcomeKey::status);
      r.passed = status == "PASS";
      r.failed = status == "FAIL";
      if (r.passed) {
        r.strategy = reader.present(record, OutcomeKey::strategy);
      } else if (r.failed) {
        r.instruction = reader.required(record, OutcomeKey::instruction);
        r.reasons = reader.truthy(record, OutcomeKey::reasons).value_or("");
      }
      records.push_back(r);
    });
    vantor::bindings::HeldTexts texts;
    print_lines(report::summary_lines(started_at_text(self, texts), records));
  }
  // Through the attribute, so that a subclass's own save_html writes the report.
  static PyObject* const save_html_name = vantor::bindings::interned("save_html");
  vantor::bindings::checked(PyObject_CallMethodNoArgs(nb::find(&self).ptr(), save_html_name));
}

void init(Reporter* self) { new (self) Reporter{nb::list(), make_str(report::local_time_now())}; }

}  // namespace

NB_MODULE(reporter, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Logs the outcome of each step of a test run, prints the run summary and writes the HTML report.";
  using vantor::bindings::def_method;

  auto cls = nb::class_<Reporter>(
      m, "Reporter", "The outcome records of one test run, with the console log, summary and HTML report.",
      nb::type_slots(vantor::bindings::held_objects_slots<Reporter, &Reporter::results, &Reporter::started_at>()));
  def_method(cls, "def __init__(self) -> None", &init);
  cls.def_prop_rw(
      "results", [](Reporter& self) { return self.results; },
      [](Reporter& self, nb::handle value) {
        if (!PyList_Check(value.ptr())) raise_attribute_type("results", "list", value);
        self.results = nb::borrow(value);
      },
      nb::for_setter(nb::arg("value").none()), nb::for_getter(nb::sig("def results(self) -> list[dict[str, object]]")),
      nb::for_setter(nb::sig("def results(self, value: list[dict[str, object]], /) -> None")),
      "One outcome record per logging call, in call order.");
  cls.def_prop_rw(
      "_started_at", [](Reporter& self) { return self.started_at; },
      [](Reporter& self, nb::handle value) {
        if (!PyUnicode_Check(value.ptr())) raise_attribute_type("_started_at", "str", value);
        self.started_at = nb::borrow(value);
      },
      nb::for_setter(nb::arg("value").none()), nb::for_getter(nb::sig("def _started_at(self) -> str")),
      nb::for_setter(nb::sig("def _started_at(self, value: str, /) -> None")),
      "Local time at construction, \"%Y-%m-%d %H:%M:%S\".");
  def_method(cls, "def log_success(self, instruction: str, strategy_used: str, element: dict[str, object]) -> None",
             &log_success, "Records and prints a step whose element was found.");
  def_method(cls,
             "def log_failure(self, instruction: str, dom_result: dict[str, object], "
             "spatial_result: dict[str, object] | None = None, "
             "florence_result: dict[str, object] | None = None) -> None",
             &log_failure,
             "Records and prints a step that no strategy resolved, with the strategies' confidences and the "
             "closest candidate.");
  def_method(cls,
             "def log_verification(self, instruction: str, passed: bool, element: dict[str, object] | None, "
             "state: dict[str, object] | None = None) -> None",
             &log_verification, "Records and prints the outcome of a verify step, with the element's state.");
  def_method(cls, "def summary(self) -> None", &summary, "Prints the run summary, then writes the HTML report.");
  def_method(cls, "def save_html(self) -> None", &save_html,
             "Writes the HTML report of the outcome records to data/reports/report.html.");
}
