// vantor.engine.browser.pagescanner: the PageScanner class, which reads the
// live page it is lent into element and text element descriptors.
#include <nanobind/nanobind.h>

#include <array>
#include <string>

#include "scan/elements.hpp"
#include "scan/labels.hpp"
#include "scan/page_facts.hpp"
#include "scan/page_reading.hpp"
#include "scan/scan.hpp"
#include "scan/scripts.hpp"
#include "scan/tables.hpp"
#include "scan/text_elements.hpp"
#include "support/arguments.hpp"
#include "support/convert.hpp"
#include "support/define.hpp"
#include "support/error_translation.hpp"
#include "support/held_objects.hpp"
#include "support/python_page.hpp"

namespace nb = nanobind;
using vantor::bindings::CallerValues;
using vantor::bindings::list_argument;
using vantor::bindings::make_str;
using vantor::bindings::PythonElement;
using vantor::bindings::PythonPage;
using vantor::bindings::save_snapshot;
using vantor::bindings::scan_page_with;
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

void init(PageScanner* self, nb::handle page) { new (self) PageScanner{nb::borrow(page)}; }

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
  if (!recorded_facts.is_record()) recorded_facts = vantor::bindings::json_answer(page, scan::facts_script(xpaths));
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

  using vantor::bindings::def_method;
  auto cls =
      nb::class_<PageScanner>(m, "PageScanner", "Reads the page it is lent. Holds only the page handle.",
                              nb::type_slots(vantor::bindings::held_objects_slots<PageScanner, &PageScanner::page>()));
  def_method(cls, "def __init__(self, page: playwright.sync_api.Page) -> None", &init);
  cls.def_prop_rw(
      "page", [](const PageScanner& self) { return self.held_page(); },
      [](PageScanner& self, nb::handle page) { self.page = nb::borrow(page); }, nb::arg("page").none(),
      nb::sig("def page(self) -> playwright.sync_api.Page"), "The page handle the scanner reads.");
  def_method(cls, "def extract_interactable_elements(self) -> tuple[list[dict], list[dict]]",
             &extract_interactable_elements,
             "The element descriptors (native, custom inputs, pointer-cursor elements, all labelled) and the text "
             "element descriptors of the page; writes a snapshot when the settings ask for one.");
  def_method(cls, "def extract_page_facts(self) -> tuple[list[dict], list[dict], dict[str, dict], list[dict]]",
             &extract_page_facts,
             "What extract_interactable_elements() returns, the page facts of those descriptors by XPath (role, "
             "accessible name, label, states, value shown, table context), and descriptors with facts of the "
             "elements named by role that the scan does not list (ARIA widgets, header cells).");
  def_method(cls, "def extract_text_elements(self) -> list[dict]", &extract_text_elements,
             "The visible text elements of the page, without wrappers whose text their children list.");
  def_method(cls, "def _extract_custom_inputs(self) -> list[dict]", &extract_custom_inputs,
             "Descriptors of span and div elements whose classes mark them as editable fields.");
  def_method(cls, "def _extract_cursor_pointer_elements(self) -> list[dict]", &extract_cursor_pointer_elements,
             "Descriptors of small pointer-cursor div, span, li and td elements (tag 'button').");
  def_method(cls, "def _get_field_label(self, handle: object) -> str", &get_field_label,
             "The label of an input-like element; empty when no source gives one.");
  def_method(cls, "def _collect_label_candidates(self) -> list[dict]", &collect_label_candidates,
             "The short visible texts that can label what lies below them.");
  def_method(cls, "def _assign_spatial_labels(self, elements: list[dict], label_candidates: list[dict]) -> None",
             &assign_spatial_labels, "Gives each descriptor without a label the nearest candidate text above it.");
  def_method(cls, "def _save_snapshot(self, elements: list[dict], text_elements: list[dict]) -> None",
             &save_snapshot_method, "Writes the JSON snapshot when the settings ask for one.");
  vantor::bindings::def_static(cls, "def _dedup_text_elements(candidates: list[dict]) -> list[dict]",
                               &dedup_text_elements,
                               "The candidates that remain once pure wrappers give way to their children.");
  vantor::bindings::def_function(m, "def _is_custom_input(tag: str, classes: str | None) -> bool", &is_custom_input,
                                 "Whether the classes mark a span or div as an editable field.");

  m.attr("_NATIVE_TAGS") = str_list(scan::native_tags);
  m.attr("_ARIA_ROLES") = str_list(scan::aria_roles);
  m.attr("INTERACTABLE_SELECTOR") = make_str(scan::interactable_selector());
  m.attr("CAPTURED_ATTRIBUTES") = str_list(scan::captured_attributes);
  m.attr("_CUSTOM_INPUT_SELECTOR") = make_str(scan::custom_input_selector);
  m.attr("_XPATH_JS") = make_str(scan::scripts::xpath);
  m.attr("_TEXT_TAGS") = str_list(scan::text_tags);
  m.attr("TEXT_SELECTOR") = make_str(scan::text_selector());
}
