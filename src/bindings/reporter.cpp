// vantor.engine.agent.reporter: the Reporter class, which logs each step's
// outcome, prints the run summary and writes the HTML report.
#include <nanobind/nanobind.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "report/clock.hpp"
#include "report/html_report.hpp"
#include "report/outcome_log.hpp"
#include "report/report_file.hpp"
#include "report/run_summary.hpp"
#include "support/arguments.hpp"
#include "support/console.hpp"
#include "support/convert.hpp"
#include "support/error_translation.hpp"
#include "support/signature.hpp"
#include "text/utf8.hpp"
#include "values/text_form.hpp"

namespace nb = nanobind;
using namespace nb::literals;
using vantor::bindings::interned;
using vantor::bindings::make_str;
using vantor::bindings::print_line;
using vantor::bindings::str_argument;
using vantor::bindings::Utf8;
namespace report = vantor::report;

namespace {

// The outcome records and the start time, both plain Python objects the
// runner may read (and the records extend) between calls.
struct Reporter {
  nb::object results;     // list of outcome records
  nb::object started_at;  // str
};

// The runner may put anything into its records, the reporter itself included;
// the collector must see what the reporter holds.
int reporter_traverse(PyObject* self, visitproc visit, void* arg) {
  if (nb::inst_ready(self)) {
    Reporter* r = nb::inst_ptr<Reporter>(self);
    Py_VISIT(r->results.ptr());
    Py_VISIT(r->started_at.ptr());
  }
  Py_VISIT(Py_TYPE(self));
  return 0;
}

int reporter_clear(PyObject* self) {
  if (nb::inst_ready(self)) {
    Reporter* r = nb::inst_ptr<Reporter>(self);
    r->results.reset();
    r->started_at.reset();
  }
  return 0;
}

PyType_Slot reporter_slots[] = {{Py_tp_traverse, reinterpret_cast<void*>(reporter_traverse)},
                                {Py_tp_clear, reinterpret_cast<void*>(reporter_clear)},
                                {0, nullptr}};

// Keys, fixed values and blank records, made once and kept for the
// interpreter's lifetime: a logging call copies a blank record, which keeps
// the key order and is cheaper than inserting the keys one by one.
struct Names {
  PyObject *status, *instruction, *strategy, *element_tag, *element_text, *element_label, *locator, *reasons,
      *top_candidate, *state;
  PyObject *tag, *text, *attributes, *label, *xpath, *confidence, *candidates, *extracted;
  PyObject *pass, *fail, *none, *dom_verify, *empty;
  PyObject* save_html;
  PyObject *blank_success, *blank_failure, *blank_verification;
};

void set_item(PyObject* dict, PyObject* key, PyObject* value) {
  if (PyDict_SetItem(dict, key, value) != 0) throw nb::python_error();
}

PyObject* blank_record(std::initializer_list<std::pair<PyObject*, PyObject*>> entries) {
  PyObject* record = PyDict_New();
  if (!record) throw nb::python_error();
  for (const auto& [key, value] : entries) set_item(record, key, value);
  return record;
}

const Names& names() {
  static const Names* const made = [] {
    auto* n = new Names{};
    n->status = interned("status");
    n->instruction = interned("instruction");
    n->strategy = interned("strategy");
    n->element_tag = interned("element_tag");
    n->element_text = interned("element_text");
    n->element_label = interned("element_label");
    n->locator = interned("locator");
    n->reasons = interned("reasons");
    n->top_candidate = interned("top_candidate");
    n->state = interned("state");
    n->tag = interned("tag");
    n->text = interned("text");
    n->attributes = interned("attributes");
    n->label = interned("_label");
    n->xpath = interned("xpath");
    n->confidence = interned("confidence");
    n->candidates = interned("candidates");
    n->extracted = interned("extracted");
    n->pass = interned("PASS");
    n->fail = interned("FAIL");
    n->none = interned("none");
    n->dom_verify = interned("DOM-verify");
    n->empty = interned("");
    n->save_html = interned("save_html");
    PyObject* e = n->empty;
    n->blank_success = blank_record({{n->status, n->pass},
                                     {n->instruction, e},
                                     {n->strategy, e},
                                     {n->element_tag, e},
                                     {n->element_text, e},
                                     {n->element_label, e},
                                     {n->locator, e}});
    n->blank_failure = blank_record(
        {{n->status, n->fail}, {n->instruction, e}, {n->strategy, n->none}, {n->reasons, e}, {n->top_candidate, e}});
    n->blank_verification = blank_record({{n->status, n->fail},
                                          {n->instruction, e},
                                          {n->strategy, n->dom_verify},
                                          {n->element_tag, e},
                                          {n->element_text, e},
                                          {n->state, Py_None},
                                          {n->locator, e}});
    return n;
  }();
  return *made;
}

nb::dict copy_of(PyObject* blank) {
  auto record = nb::steal<nb::dict>(PyDict_Copy(blank));
  if (!record.is_valid()) throw nb::python_error();
  return record;
}

// "Reporter.results must be list, not tuple".
[[noreturn]] void raise_attribute_type(const char* attribute, const char* expected, nb::handle actual) {
  PyErr_Format(PyExc_TypeError, "Reporter.%s must be %s, not %s", attribute, expected,
               actual.is_none() ? "None" : Py_TYPE(actual.ptr())->tp_name);
  throw nb::python_error();
}

// --- Reading the caller's records ----------------------------------------

// The value under key, held; invalid when the key is missing. Looking a key
// up may run caller code (a key's __eq__), so the value is held at once.
nb::object lookup(nb::handle dict, PyObject* key) {
  PyObject* value = PyDict_GetItemWithError(dict.ptr(), key);
  if (!value && PyErr_Occurred()) throw nb::python_error();
  return nb::borrow(value);
}

// "log_failure() candidate 'text' must be str, not int".
[[noreturn]] void raise_field_type(const char* function, const char* holder, PyObject* key, const char* expected,
                                   nb::handle actual) {
  PyErr_Format(PyExc_TypeError, "%s() %s %R must be %s, not %s", function, holder, key, expected,
               actual.is_none() ? "None" : Py_TYPE(actual.ptr())->tp_name);
  throw nb::python_error();
}

// A text entry of a record: its str, or the empty str when the key is missing
// or (for the entries that may be null) holds None. Anything else is a
// TypeError: a "text" is cut and quoted, so None there is no text at all.
enum class NoneIs { missing, wrong };
nb::object text_field(nb::handle dict, PyObject* key, const char* function, const char* holder,
                      NoneIs none = NoneIs::missing) {
  nb::object value = lookup(dict, key);
  if (!value.is_valid() || (none == NoneIs::missing && value.is_none())) return nb::borrow(names().empty);
  if (!PyUnicode_Check(value.ptr())) raise_field_type(function, holder, key, "str", value);
  return value;
}

// The first `limit` characters of a str: the str itself when it is no longer.
nb::object first_characters(nb::handle str, std::size_t limit) {
  if (PyUnicode_GET_LENGTH(str.ptr()) <= static_cast<Py_ssize_t>(limit)) return nb::borrow(str);
  PyObject* cut = PyUnicode_Substring(str.ptr(), 0, static_cast<Py_ssize_t>(limit));
  if (!cut) throw nb::python_error();
  return nb::steal(cut);
}

bool is_non_empty_dict(nb::handle obj) { return obj.is_valid() && !obj.is_none() && PyDict_GET_SIZE(obj.ptr()) > 0; }

// What the outcome records keep of an element descriptor: all strs, the
// empty str for whatever the element lacks.
struct ElementFacts {
  nb::object tag, text, label, locator;
};

ElementFacts element_facts(nb::handle element, const char* function) {
  const Names& n = names();
  ElementFacts facts{nb::borrow(n.empty), nb::borrow(n.empty), nb::borrow(n.empty), nb::borrow(n.empty)};
  if (!is_non_empty_dict(element)) return facts;
  facts.tag = text_field(element, n.tag, function, "element");
  facts.text =
      first_characters(text_field(element, n.text, function, "element", NoneIs::wrong), report::element_text_limit);
  const nb::object attributes = lookup(element, n.attributes);
  if (attributes.is_valid() && !attributes.is_none()) {
    if (!PyDict_Check(attributes.ptr())) raise_field_type(function, "element", n.attributes, "dict", attributes);
    facts.label = text_field(attributes, n.label, function, "element attributes");
  }
  facts.locator = text_field(element, n.xpath, function, "element");
  return facts;
}

// A confidence: a float, an int (bool included) or any other number that
// converts to a float (a numpy scalar, say), taken as that float.
double confidence_of(nb::handle result, const char* holder) {
  const nb::object value = lookup(result, names().confidence);
  if (!value.is_valid()) return 0.0;
  PyObject* o = value.ptr();
  if (PyFloat_Check(o)) return PyFloat_AS_DOUBLE(o);
  const PyNumberMethods* number = Py_TYPE(o)->tp_as_number;
  if (PyLong_Check(o) || (number && (number->nb_float || number->nb_index))) {
    const double d = PyFloat_AsDouble(o);  // an int past the float range: OverflowError, as format() gives
    if (d == -1.0 && PyErr_Occurred()) throw nb::python_error();
    return d;
  }
  raise_field_type("log_failure", holder, names().confidence, "a number", value);
}

// Texts for the core, each kept alive (with its UTF-8 form) while in use: a
// str as it is, any other value as str() writes it.
class HeldTexts {
 public:
  std::string_view view(nb::handle str) { return held_.emplace_back(str).view(); }

  std::string_view text_of(nb::handle value) {
    if (PyUnicode_Check(value.ptr())) return view(value);
    const nb::object str = nb::steal(PyObject_Str(value.ptr()));
    if (!str.is_valid()) throw nb::python_error();
    return view(str);
  }

 private:
  // Each Utf8 holds what it views; the views never point into this vector.
  std::vector<Utf8> held_;
};

// --- Console --------------------------------------------------------------

void print_lines(std::vector<std::string> lines) {
  for (std::string& line : lines) print_line(std::move(line));
}

// --- Logging ----------------------------------------------------------------

nb::list results_list(Reporter& self) {
  if (!self.results.is_valid() || !PyList_Check(self.results.ptr()))
    throw nb::type_error("Reporter.results must be a list");
  return nb::borrow<nb::list>(self.results);
}

void append(Reporter& self, const nb::dict& record) {
  if (PyList_Append(results_list(self).ptr(), record.ptr()) != 0) throw nb::python_error();
}

void log_success(Reporter& self, nb::handle instruction, nb::handle strategy_used, nb::handle element) {
  const Utf8 instruction_text = str_argument(instruction, "log_success", "instruction");
  const Utf8 strategy_text = str_argument(strategy_used, "log_success", "strategy_used");
  vantor::bindings::dict_argument(element, "log_success", "element");
  const ElementFacts facts = element_facts(element, "log_success");

  const Names& n = names();
  const nb::dict record = copy_of(n.blank_success);
  set_item(record.ptr(), n.instruction, instruction.ptr());
  set_item(record.ptr(), n.strategy, strategy_used.ptr());
  set_item(record.ptr(), n.element_tag, facts.tag.ptr());
  set_item(record.ptr(), n.element_text, facts.text.ptr());
  set_item(record.ptr(), n.element_label, facts.label.ptr());
  set_item(record.ptr(), n.locator, facts.locator.ptr());
  append(self, record);
  print_line(report::success_line(instruction_text.view(), strategy_text.view()));
}

void log_failure(Reporter& self, nb::handle instruction, nb::handle dom_result, nb::handle spatial_result,
                 nb::handle florence_result) {
  const Utf8 instruction_text = str_argument(instruction, "log_failure", "instruction");
  vantor::bindings::dict_argument(dom_result, "log_failure", "dom_result");
  vantor::bindings::optional_dict_argument(spatial_result, "log_failure", "spatial_result");
  vantor::bindings::optional_dict_argument(florence_result, "log_failure", "florence_result");

  struct Named {
    nb::handle result;
    const char* argument;
    std::string_view strategy;
  };
  const Named given[] = {{dom_result, "dom_result", "DOM"},
                         {spatial_result, "spatial_result", "Spatial"},
                         {florence_result, "florence_result", "Florence"}};
  std::vector<report::StrategyResult> results;
  std::vector<nb::handle> result_objects;
  for (const Named& g : given) {
    if (!is_non_empty_dict(g.result)) continue;
    results.push_back({g.strategy, confidence_of(g.result, g.argument), std::nullopt});
    result_objects.push_back(g.result);
  }

  // The closest line names the first candidate of the first result that has any.
  HeldTexts texts;
  const Names& n = names();
  for (std::size_t i = 0; i < results.size(); ++i) {
    const nb::object candidates = lookup(result_objects[i], n.candidates);
    if (!candidates.is_valid() || !PyList_Check(candidates.ptr()) || PyList_GET_SIZE(candidates.ptr()) == 0) continue;
    const nb::object first = nb::borrow(PyList_GET_ITEM(candidates.ptr(), 0));
    if (!PyDict_Check(first.ptr())) {
      PyErr_Format(PyExc_TypeError, "log_failure() candidate must be dict, not %s", Py_TYPE(first.ptr())->tp_name);
      throw nb::python_error();
    }
    const std::string_view tag = texts.view(text_field(first, n.tag, "log_failure", "candidate"));
    const std::string_view text = texts.view(text_field(first, n.text, "log_failure", "candidate", NoneIs::wrong));
    results[i].first_candidate = report::Candidate{tag, text};
    break;
  }

  const report::FailureDetails details = report::describe_failure(results);
  const nb::dict record = copy_of(n.blank_failure);
  set_item(record.ptr(), n.instruction, instruction.ptr());
  if (!details.reasons.empty()) set_item(record.ptr(), n.reasons, make_str(details.reasons).ptr());
  if (!details.top_candidate.empty()) set_item(record.ptr(), n.top_candidate, make_str(details.top_candidate).ptr());
  append(self, record);
  print_lines(report::failure_lines(instruction_text.view(), details));
}

void log_verification(Reporter& self, nb::handle instruction, nb::handle passed, nb::handle element, nb::handle state) {
  const Utf8 instruction_text = str_argument(instruction, "log_verification", "instruction");
  if (!PyBool_Check(passed.ptr())) vantor::bindings::raise_argument_type("log_verification", "passed", "bool", passed);
  vantor::bindings::optional_dict_argument(element, "log_verification", "element");
  vantor::bindings::optional_dict_argument(state, "log_verification", "state");
  const bool pass = passed.ptr() == Py_True;
  const ElementFacts facts = element_facts(element, "log_verification");

  // The state line writes the record as the host's repr() would.
  const bool has_state = is_non_empty_dict(state);
  std::string state_text;
  if (has_state) {
    vantor::bindings::CallerValues values;
    state_text = vantor::values::text_form(values.read(state));
  }

  const Names& n = names();
  const nb::dict record = copy_of(n.blank_verification);
  if (pass) set_item(record.ptr(), n.status, n.pass);
  set_item(record.ptr(), n.instruction, instruction.ptr());
  set_item(record.ptr(), n.element_tag, facts.tag.ptr());
  set_item(record.ptr(), n.element_text, facts.text.ptr());
  const nb::dict fresh_state;
  set_item(record.ptr(), n.state, has_state ? state.ptr() : fresh_state.ptr());
  set_item(record.ptr(), n.locator, facts.locator.ptr());
  append(self, record);
  print_lines(report::verification_lines(pass, instruction_text.view(), state_text));
}

// --- Summary and report -----------------------------------------------------

// The outcome records as the summary and the page read them. Every record
// needs "status"; the page needs every record's "instruction", the summary
// only the failures'. A missing one is a KeyError before anything is printed
// or written.
class RecordReader {
 public:
  explicit RecordReader(Reporter& self) : results_(nb::borrow(results_list(self))) {}

  template <typename Visit>
  void each(Visit visit) {
    // The length is read again after every record: reading one may run
    // caller code (str() of a value) that changes the list.
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(results_.ptr()); ++i) {
      const nb::object record = nb::borrow(PyList_GET_ITEM(results_.ptr(), i));
      if (!PyDict_Check(record.ptr())) {
        PyErr_Format(PyExc_TypeError, "Reporter.results[%zd] must be dict, not %s", i, Py_TYPE(record.ptr())->tp_name);
        throw nb::python_error();
      }
      held_.push_back(record);
      visit(record);
    }
  }

  // The entry's text; a KeyError when it is missing.
  std::string_view required(nb::handle record, PyObject* key) {
    const nb::object value = lookup(record, key);
    if (!value.is_valid()) {
      PyErr_SetObject(PyExc_KeyError, key);
      throw nb::python_error();
    }
    return texts_.text_of(value);
  }

  // The entry's text when it is present and truthy.
  std::optional<std::string_view> truthy(nb::handle record, PyObject* key) {
    const nb::object value = lookup(record, key);
    if (!value.is_valid()) return std::nullopt;
    const int is_true = PyObject_IsTrue(value.ptr());
    if (is_true < 0) throw nb::python_error();
    if (!is_true) return std::nullopt;
    return texts_.text_of(value);
  }

  std::optional<std::string_view> present(nb::handle record, PyObject* key) {
    const nb::object value = lookup(record, key);
    if (!value.is_valid()) return std::nullopt;
    return texts_.text_of(value);
  }

  std::string_view text_of(nb::handle value) { return texts_.text_of(value); }

 private:
  nb::object results_;
  std::vector<nb::object> held_;
  HeldTexts texts_;
};

std::string_view started_at_text(Reporter& self, HeldTexts& texts) {
  if (!self.started_at.is_valid()) throw nb::type_error("Reporter._started_at must be a str");
  return texts.text_of(self.started_at);
}

void save_html(Reporter& self) {
  const Names& n = names();
  RecordReader reader(self);
  std::vector<report::ReportRow> rows;
  reader.each([&](nb::handle record) {
    report::ReportRow row;
    row.status = reader.required(record, n.status);
    row.instruction = reader.required(record, n.instruction);
    // The first of these that is present and truthy.
    for (PyObject* key : {n.reasons, n.extracted, n.element_text}) {
      if (const auto detail = reader.truthy(record, key)) {
        row.detail = *detail;
        break;
      }
    }
    rows.push_back(row);
  });
  HeldTexts texts;
  const std::string page = report::html_page(started_at_text(self, texts), rows);

  // The file is UTF-8; a lone surrogate cannot be written in it. Refused
  // before the file is touched, with the error the host's own encoder gives.
  if (vantor::text::has_surrogate(page)) {
    const nb::str text = make_str(page);
    const nb::object encoded = nb::steal(PyUnicode_AsUTF8String(text.ptr()));
    if (!encoded.is_valid()) throw nb::python_error();
  }
  report::make_directories(std::string(report::report_directory));
  report::replace_file(std::string(report::report_path), page);
  print_line(report::report_written_line());
}

void summary(Reporter& self) {
  const Names& n = names();
  std::vector<report::SummaryRecord> records;
  {
    RecordReader reader(self);
    reader.each([&](nb::handle record) {
      report::SummaryRecord r{};
      const std::string_view status = reader.required(record, n.status);
      r.passed = status == "PASS";
      r.failed = status == "FAIL";
      if (r.passed) {
        r.strategy = reader.present(record, n.strategy);
      } else if (r.failed) {
        r.instruction = reader.required(record, n.instruction);
        r.reasons = reader.truthy(record, n.reasons).value_or("");
      }
      records.push_back(r);
    });
    HeldTexts texts;
    print_lines(report::summary_lines(started_at_text(self, texts), records));
  }
  // Through the attribute, so that a subclass's own save_html writes the report.
  const nb::object self_object = nb::find(&self);
  PyObject* done = PyObject_CallMethodNoArgs(self_object.ptr(), n.save_html);
  if (!done) throw nb::python_error();
  Py_DECREF(done);
}

}  // namespace

NB_MODULE(reporter, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Logs the outcome of each step of a test run, prints the run summary and writes the HTML report.";

  auto cls =
      nb::class_<Reporter>(m, "Reporter", nb::type_slots(reporter_slots),
                           "The outcome records of one test run, with the console log, summary and HTML report.")
          .def(
              "__init__",
              [](Reporter* self) {
                new (self) Reporter{nb::list(), make_str(report::local_time_now())};
              },
              nb::sig("def __init__(self) -> None"))
          .def_prop_rw(
              "results", [](Reporter& self) { return self.results; },
              [](Reporter& self, nb::handle value) {
                if (!PyList_Check(value.ptr())) raise_attribute_type("results", "list", value);
                self.results = nb::borrow(value);
              },
              nb::for_setter(nb::arg("value").none()),
              nb::for_getter(nb::sig("def results(self) -> list[dict[str, object]]")),
              nb::for_setter(nb::sig("def results(self, value: list[dict[str, object]], /) -> None")),
              "One outcome record per logging call, in call order.")
          .def_prop_rw(
              "_started_at", [](Reporter& self) { return self.started_at; },
              [](Reporter& self, nb::handle value) {
                if (!PyUnicode_Check(value.ptr())) raise_attribute_type("_started_at", "str", value);
                self.started_at = nb::borrow(value);
              },
              nb::for_setter(nb::arg("value").none()), nb::for_getter(nb::sig("def _started_at(self) -> str")),
              nb::for_setter(nb::sig("def _started_at(self, value: str, /) -> None")),
              "Local time at construction, \"%Y-%m-%d %H:%M:%S\".")
          .def("log_success", &log_success, "instruction"_a.none(), "strategy_used"_a.none(), "element"_a.none(),
               nb::sig("def log_success(self, instruction: str, strategy_used: str, element: dict[str, object]) "
                       "-> None"),
               "Records and prints a step whose element was found.")
          .def("log_failure", &log_failure, "instruction"_a.none(), "dom_result"_a.none(),
               "spatial_result"_a.none() = nb::none(), "florence_result"_a.none() = nb::none(),
               nb::sig("def log_failure(self, instruction: str, dom_result: dict[str, object], "
                       "spatial_result: dict[str, object] | None = None, "
                       "florence_result: dict[str, object] | None = None) -> None"),
               "Records and prints a step that no strategy resolved, with the strategies' confidences and the "
               "closest candidate.")
          .def("log_verification", &log_verification, "instruction"_a.none(), "passed"_a.none(), "element"_a.none(),
               "state"_a.none() = nb::none(),
               nb::sig("def log_verification(self, instruction: str, passed: bool, element: dict[str, object] | None, "
                       "state: dict[str, object] | None = None) -> None"),
               "Records and prints the outcome of a verify step, with the element's state.")
          .def("summary", &summary, nb::sig("def summary(self) -> None"),
               "Prints the run summary, then writes the HTML report.")
          .def("save_html", &save_html, nb::sig("def save_html(self) -> None"),
               "Writes the HTML report of the outcome records to data/reports/report.html.");
  using vantor::bindings::add_mismatch_overload;
  add_mismatch_overload(cls, {"log_success", {"instruction", "strategy_used", "element"}});
  add_mismatch_overload(
      cls, {"log_failure", {"instruction", "dom_result", "spatial_result", "florence_result"}, std::size_t{2}});
  add_mismatch_overload(cls, {"log_verification", {"instruction", "passed", "element", "state"}, std::size_t{3}});
  add_mismatch_overload(cls, {"summary", {}});
  add_mismatch_overload(cls, {"save_html", {}});
  vantor::bindings::add_mismatch_constructor(cls, {"__init__", {}});
}
