#include "scan/page_reading.hpp"

#include <ctime>
#include <string>

#include "files/atomic_write.hpp"
#include "scan/snapshot.hpp"
#include "support/console.hpp"
#include "support/convert.hpp"

namespace vantor::bindings {

namespace nb = nanobind;
using namespace nb::literals;
namespace scan = vantor::scan;

namespace {

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

}  // namespace

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

bool single_pass_applies(nb::handle page) {
  // Kept for the life of the process: no reference is dropped at interpreter exit.
  static const nb::handle page_type = nb::object(nb::module_::import_("playwright.sync_api").attr("Page")).release();
  if (!page.type().is(page_type)) return false;
  const nb::module_ settings = nb::module_::import_("vantor.engine.settings");
  return !is_true(nb::getattr(settings, "PER_ELEMENT_SCAN", nb::bool_(false)));
}

values::Value json_answer(PythonPage& page, std::string_view script) {
  // Kept for the life of the process: no reference is dropped at interpreter exit.
  static const nb::handle json_loads = nb::object(nb::module_::import_("json").attr("loads")).release();
  const values::Value answer = page.evaluate(script);
  if (!answer.is_text()) return {};
  return page.values().read(json_loads(make_str(answer.as_text())));
}

}  // namespace vantor::bindings
