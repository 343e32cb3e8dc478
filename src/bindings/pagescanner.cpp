// vantor.engine.browser.pagescanner: the PageScanner class, which reads the
// live page it is lent into element and text element descriptors.
#include <nanobind/nanobind.h>

#include <array>
#include <ctime>
#include <exception>
#include <string>

#include "files/atomic_write.hpp"
#include "scan/elements.hpp"
#include "scan/labels.hpp"
#include "scan/page_facts.hpp"
#include "scan/recorded_page.hpp"
#include "scan/scan.hpp"
#include "scan/scripts.hpp"
#include "scan/snapshot.hpp"
#include "scan/tables.hpp"
#include "scan/text_elements.hpp"
#include "support/arguments.hpp"
#include "support/console.hpp"
#include "support/convert.hpp"
#include "support/error_translation.hpp"
#include "support/held_objects.hpp"
#include "support/python_page.hpp"
#include "support/signature.hpp"

namespace nb = nanobind;
using namespace nb::literals;
using vantor::bindings::CallerValues;
using vantor::bindings::list_argument;
using vantor::bindings::make_str;
using vantor::bindings::PythonElement;
using vantor::bindings::PythonPage;
using vantor::bindings::to_python;
namespace scan = vantor::scan;
namespace values = vantor::values;

namespace {

// Holds the page handle it is lent; every call reads the page anew. The
// garbage collector sees the page, so a page that holds its own scanner is
// freed; once cleared, the scanner holds None.
struct PageScanner {
  nb::object page;
  nb::object held_page() const { return page.is_valid() ? page : nb::none(); }
};

nb::object list_to_python(values::List list) { return to_python(values::Value(std::move(list))); }

// The text of an optional str argument (None reads as "").
std::string optional_str_argument(nb::handle obj, const char* function, const char* argument) {
  if (obj.is_none()) return {};
  return std::string(vantor::bindings::str_argument(obj, function, argument).view());
}

// Whether a setting's value is true as Python's `if` sees it (1 and "yes" are).
bool is_true(nb::handle value) {
  const int answer = PyObject_IsTrue(value.ptr());
  if (answer < 0) throw nb::python_error();
  return answer == 1;
}

// The path as the file system's bytes, and back, as os.fsencode and os.fsdecode give them.
std::string fs_encoded(nb::handle path) {
  const nb::object bytes = nb::steal(PyUnicode_EncodeFSDefault(path.ptr()));
  if (!bytes.is_valid()) throw nb::python_error();
  return std::string(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
}

nb::str fs_decoded(const std::string& path) {
  PyObject* text = PyUnicode_DecodeFSDefaultAndSize(path.data(), static_cast<Py_ssize_t>(path.size()));
  if (!text) throw nb::python_error();
  return nb::steal<nb::str>(text);
}

// Writes {"url", "elements", "text_elements"} to LOG_PATH when the host's
// settings ask for snapshots; both settings are read anew at every call.
void save_snapshot(nb::handle page, const values::Value& elements, const values::Value& text_elements) {
  const nb::module_ settings = nb::module_::import_("vantor.engine.settings");
  if (!is_true(settings.attr("SAVE_SNAPSHOTS"))) return;
  const nb::object log_path = settings.attr("LOG_PATH");
  const nb::module_ os = nb::module_::import_("os");
  os.attr("makedirs")(log_path, "exist_ok"_a = true);
  const nb::object url = page.attr("url");
  if (!PyUnicode_Check(url.ptr())) {
    const std::string message = std::string("the page's url must be str, not ") + Py_TYPE(url.ptr())->tp_name;
    throw nb::type_error(message.c_str());
  }
  const std::string name = scan::snapshot_file_name(vantor::bindings::Utf8(url).view(), std::time(nullptr));
  CallerValues page_values;
  const std::string content = scan::snapshot_json(page_values.read(page.attr("url")), elements, text_elements);
  // The directory as os.path.join puts it before a name; each scan within one
  // second keeps its own file (name-2.json, ...): none replaces an earlier one.
  const nb::object directory = os.attr("path").attr("join")(log_path, "");
  const nb::str path = fs_decoded(vantor::files::write_new_file(fs_encoded(directory), name, content));
  vantor::bindings::print_line("  [DOM snapshot saved \u2192 " + std::string(vantor::bindings::Utf8(path).view()) +
                               "]");
}

// Whether this scan gathers the page in one call: only for the browser
// driver's own page type, whose answers the record reproduces, and unless
// the settings ask for the per-element protocol (PER_ELEMENT_SCAN, for
// debugging).
bool single_pass_applies(nb::handle page) {
  // Kept for the life of the process: no reference is dropped at interpreter exit.
  static const nb::handle page_type = nb::object(nb::module_::import_("playwright.sync_api").attr("Page")).release();
  if (!page.type().is(page_type)) return false;
  const nb::module_ settings = nb::module_::import_("vantor.engine.settings");
  return !is_true(nb::getattr(settings, "PER_ELEMENT_SCAN", nb::bool_(false)));
}

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
    static const nb::handle json_loads = nb::object(nb::module_::import_("json").attr("loads")).release();
    try {
      const values::Value answer = page.evaluate(scan::page_record_script(text_only, facts != nullptr));
      if (answer.is_text()) {
        const values::Value record = page.values().read(json_loads(make_str(answer.as_text())));
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

nb::tuple extract_interactable_elements(PageScanner& self) {
  PythonPage page(self.held_page());
  scan::PageScan result =
      scan_page_with(page, self.held_page(), false, [](scan::PageHandle& page) { return scan::scan_page(page); });
  const values::Value elements(std::move(result.elements));
  const values::Value text_elements(std::move(result.text_elements));
  save_snapshot(self.held_page(), elements, text_elements);
  return nb::make_tuple(to_python(elements), to_python(text_elements));
}

// The scan of extract_interactable_elements() (the snapshot too) and the
// page facts of its descriptors, keyed by XPath. The one-call scan records the
// facts in its call; a scan read element by element asks for them in one more.
nb::tuple extract_page_facts(PageScanner& self) {
  PythonPage page(self.held_page());
  values::Value recorded_facts;
  scan::PageScan result = scan_page_with(
      page, self.held_page(), false, [](scan::PageHandle& page) { return scan::scan_page(page); }, &recorded_facts);
  values::List xpaths = scan::descriptor_xpaths(result.elements, result.text_elements);
  const values::Value elements(std::move(result.elements));
  const values::Value text_elements(std::move(result.text_elements));
  save_snapshot(self.held_page(), elements, text_elements);
  if (!recorded_facts.is_record()) {
    static const nb::handle json_loads = nb::object(nb::module_::import_("json").attr("loads")).release();
    // A stand-in page that runs no scripts answers something else: no facts.
    const values::Value answer = page.evaluate(scan::facts_script(xpaths));
    if (answer.is_text()) recorded_facts = page.values().read(json_loads(make_str(answer.as_text())));
  }
  values::List unlisted;
  if (recorded_facts.is_record()) unlisted = scan::unlisted_of(recorded_facts.as_record(), xpaths);
  for (const values::Value& descriptor : unlisted) xpaths.push_back(*descriptor.as_record().find("xpath"));
  const values::Value facts(recorded_facts.is_record() ? scan::facts_of(xpaths, recorded_facts.as_record())
                                                       : values::Record());
  return nb::make_tuple(to_python(elements), to_python(text_elements), to_python(facts),
                        to_python(values::Value(std::move(unlisted))));
}

nb::object extract_text_elements(PageScanner& self) {
  PythonPage page(self.held_page());
  return list_to_python(scan_page_with(page, self.held_page(), true,
                                       [](scan::PageHandle& page) { return scan::extract_text_elements(page); }));
}

nb::object extract_custom_inputs(PageScanner& self) {
  PythonPage page(self.held_page());
  return list_to_python(scan::extract_custom_inputs(page));
}

nb::object extract_cursor_pointer_elements(PageScanner& self) {
  PythonPage page(self.held_page());
  return list_to_python(scan::extract_cursor_pointer_elements(page));
}

nb::str get_field_label(PageScanner& self, nb::handle handle) {
  PythonPage page(self.held_page());
  PythonElement element(handle, page.values());
  return make_str(scan::field_label(page, element));
}

nb::object collect_label_candidates(PageScanner& self) {
  PythonPage page(self.held_page());
  return list_to_python(scan::collect_label_candidates(page));
}

// Sets "_label" in the caller's own descriptors, as item assignment on them.
void assign_spatial_labels(PageScanner&, nb::handle elements_arg, nb::handle candidates_arg) {
  list_argument(elements_arg, "_assign_spatial_labels", "elements");
  list_argument(candidates_arg, "_assign_spatial_labels", "label_candidates");
  CallerValues caller;
  const values::Value elements = caller.read(elements_arg);
  const values::Value candidates = caller.read(candidates_arg);
  for (const scan::SpatialLabel& label : scan::spatial_labels(elements.as_list(), candidates.as_list())) {
    const nb::object element = to_python(elements.as_list()[label.element]);
    element["attributes"][make_str("_label")] = make_str(label.text);
  }
}

nb::list dedup_text_elements(nb::handle candidates_arg) {
  list_argument(candidates_arg, "_dedup_text_elements", "candidates");
  CallerValues caller;
  const values::Value candidates = caller.read(candidates_arg);
  nb::list kept;
  for (std::size_t i : scan::dedup_text_elements(candidates.as_list())) kept.append(to_python(candidates.as_list()[i]));
  return kept;
}

void save_snapshot_method(PageScanner& self, nb::handle elements_arg, nb::handle text_elements_arg) {
  list_argument(elements_arg, "_save_snapshot", "elements");
  list_argument(text_elements_arg, "_save_snapshot", "text_elements");
  CallerValues caller;
  const values::Value elements = caller.read(elements_arg);
  const values::Value text_elements = caller.read(text_elements_arg);
  save_snapshot(self.held_page(), elements, text_elements);
}

bool is_custom_input(nb::handle tag, nb::handle classes) {
  return scan::is_custom_input(optional_str_argument(tag, "_is_custom_input", "tag"),
                               optional_str_argument(classes, "_is_custom_input", "classes"));
}

template <std::size_t N>
nb::list str_list(const std::array<std::string_view, N>& items) {
  nb::list list;
  for (std::string_view item : items) list.append(make_str(item));
  return list;
}

}  // namespace

NB_MODULE(pagescanner, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Reads the live browser page into element descriptors, text element descriptors and snapshots.";
  // The page handle is a playwright.sync_api Page (or anything offering its
  // operations). The settings, read at every snapshot, say whether to save
  // snapshots and where.
  m.attr("Page") = nb::module_::import_("playwright.sync_api").attr("Page");
  nb::module_::import_("vantor.engine.settings");

  auto cls =
      nb::class_<PageScanner>(m, "PageScanner", "Reads the page it is lent. Holds only the page handle.",
                              nb::type_slots(vantor::bindings::held_objects_slots<PageScanner, &PageScanner::page>()))
          .def(
              "__init__", [](PageScanner* self, nb::handle page) { new (self) PageScanner{nb::borrow(page)}; },
              "page"_a.none(), nb::sig("def __init__(self, page: playwright.sync_api.Page) -> None"))
          .def_prop_rw(
              "page", [](const PageScanner& self) { return self.held_page(); },
              [](PageScanner& self, nb::handle page) { self.page = nb::borrow(page); }, nb::arg("page").none(),
              nb::sig("def page(self) -> playwright.sync_api.Page"), "The page handle the scanner reads.")
          .def("extract_interactable_elements", &extract_interactable_elements,
               nb::sig("def extract_interactable_elements(self) -> tuple[list[dict], list[dict]]"),
               "The element descriptors (native, custom inputs, pointer-cursor elements, all labelled) and the "
               "text element descriptors of the page; writes a snapshot when the settings ask for one.")
          .def("extract_page_facts", &extract_page_facts,
               nb::sig("def extract_page_facts(self) -> tuple[list[dict], list[dict], dict[str, dict], list[dict]]"),
               "What extract_interactable_elements() returns, the page facts of those descriptors by XPath (role, "
               "accessible name, label, states, value shown, table context), and descriptors with facts of the "
               "elements named by role that the scan does not list (ARIA widgets, header cells).")
          .def("extract_text_elements", &extract_text_elements,
               nb::sig("def extract_text_elements(self) -> list[dict]"),
               "The visible text elements of the page, without wrappers whose text their children list.")
          .def("_extract_custom_inputs", &extract_custom_inputs,
               nb::sig("def _extract_custom_inputs(self) -> list[dict]"),
               "Descriptors of span and div elements whose classes mark them as editable fields.")
          .def("_extract_cursor_pointer_elements", &extract_cursor_pointer_elements,
               nb::sig("def _extract_cursor_pointer_elements(self) -> list[dict]"),
               "Descriptors of small pointer-cursor div, span, li and td elements (tag 'button').")
          .def("_get_field_label", &get_field_label, "handle"_a.none(),
               nb::sig("def _get_field_label(self, handle: object) -> str"),
               "The label of an input-like element; empty when no source gives one.")
          .def("_collect_label_candidates", &collect_label_candidates,
               nb::sig("def _collect_label_candidates(self) -> list[dict]"),
               "The short visible texts that can label what lies below them.")
          .def("_assign_spatial_labels", &assign_spatial_labels, "elements"_a.none(), "label_candidates"_a.none(),
               nb::sig("def _assign_spatial_labels(self, elements: list[dict], label_candidates: list[dict]) -> None"),
               "Gives each descriptor without a label the nearest candidate text above it.")
          .def("_save_snapshot", &save_snapshot_method, "elements"_a.none(), "text_elements"_a.none(),
               nb::sig("def _save_snapshot(self, elements: list[dict], text_elements: list[dict]) -> None"),
               "Writes the JSON snapshot when the settings ask for one.")
          .def_static("_dedup_text_elements", &dedup_text_elements, "candidates"_a.none(),
                      nb::sig("def _dedup_text_elements(candidates: list[dict]) -> list[dict]"),
                      "The candidates that remain once pure wrappers give way to their children.");
  using vantor::bindings::add_mismatch_overload;
  vantor::bindings::add_mismatch_constructor(cls, {"__init__", {"page"}});
  for (const char* method : {"extract_interactable_elements", "extract_page_facts", "extract_text_elements",
                             "_extract_custom_inputs", "_extract_cursor_pointer_elements", "_collect_label_candidates"})
    add_mismatch_overload(cls, {method, {}});
  add_mismatch_overload(cls, {"_get_field_label", {"handle"}});
  add_mismatch_overload(cls, {"_assign_spatial_labels", {"elements", "label_candidates"}});
  add_mismatch_overload(cls, {"_save_snapshot", {"elements", "text_elements"}});
  vantor::bindings::add_mismatch_static(cls, {"_dedup_text_elements", {"candidates"}, false});

  m.def("_is_custom_input", &is_custom_input, "tag"_a.none(), "classes"_a.none(),
        nb::sig("def _is_custom_input(tag: str, classes: str | None) -> bool"),
        "Whether the classes mark a span or div as an editable field.");
  vantor::bindings::add_mismatch_function(m, {"_is_custom_input", {"tag", "classes"}, false});

  m.attr("_NATIVE_TAGS") = str_list(scan::native_tags);
  m.attr("_ARIA_ROLES") = str_list(scan::aria_roles);
  m.attr("INTERACTABLE_SELECTOR") = make_str(scan::interactable_selector());
  m.attr("CAPTURED_ATTRIBUTES") = str_list(scan::captured_attributes);
  m.attr("_CUSTOM_INPUT_SELECTOR") = make_str(scan::custom_input_selector);
  m.attr("_XPATH_JS") = make_str(scan::scripts::xpath);
  m.attr("_TEXT_TAGS") = str_list(scan::text_tags);
  m.attr("TEXT_SELECTOR") = make_str(scan::text_selector());
}
