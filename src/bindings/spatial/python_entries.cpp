#include "spatial/python_entries.hpp"

#include "spatial/entry_keys.hpp"

namespace vantor::bindings {

namespace {

void append_entries(std::vector<nb::object>& out, nb::handle list) {
  if (!list.is_valid()) return;  // a matrix the garbage collector cleared
  // Copied out first: checking an entry runs no caller code, but the list
  // must not change under the loop either way.
  const Py_ssize_t n = PyList_GET_SIZE(list.ptr());
  out.reserve(out.size() + static_cast<std::size_t>(n));
  for (Py_ssize_t i = 0; i < n; ++i) out.push_back(nb::borrow(PyList_GET_ITEM(list.ptr(), i)));
  for (const nb::object& e : out) dict_or_raise(e.ptr(), "a matrix entry");
}

}  // namespace

PythonEntries::PythonEntries(nb::handle list) { append_entries(entries_, list); }

PythonEntries::PythonEntries(nb::handle list, std::initializer_list<nb::handle> extra) {
  append_entries(entries_, list);
  for (nb::handle e : extra) entries_.push_back(nb::borrow(dict_or_raise(e.ptr(), "a matrix entry")));
}

PyObject* PythonEntries::required(std::size_t i, PyObject* k) const { return required_field(entry(i), k); }

std::int64_t PythonEntries::index(std::size_t i) const {
  PyObject* v = required(i, entry_keys().index);
  if (!PyLong_Check(v)) raise_kind("a matrix entry's 'index'", "int", v);
  int overflow = 0;
  const long long n = PyLong_AsLongLongAndOverflow(v, &overflow);
  if (n == -1 && PyErr_Occurred()) throw nb::python_error();
  if (overflow != 0) raise_kind("a matrix entry's 'index'", "an int of 64 bits", v);
  return n;
}

bool PythonEntries::is_anchor_only(std::size_t i) const {
  PyObject* v = field(entry(i), entry_keys().is_anchor_only);
  if (!v) return false;
  const nb::object hold = nb::borrow(v);
  return truthy(v);
}

std::optional<std::string_view> PythonEntries::element_type(std::size_t i) const {
  PyObject* v = required(i, entry_keys().element_type);
  if (!PyUnicode_Check(v)) return std::nullopt;
  return texts_.view(v);
}

std::string_view PythonEntries::text_field(std::size_t i, PyObject* k, bool needed) const {
  PyObject* v = needed ? required(i, k) : field(entry(i), k);
  if (!v) return {};
  if (!PyUnicode_Check(v)) {
    const std::string what = std::string("a matrix entry's '") + PyUnicode_AsUTF8(k) + "'";
    raise_kind(what, "str", v);
  }
  return texts_.view(v);
}

std::string_view PythonEntries::text(std::size_t i, bool needed) const {
  return text_field(i, entry_keys().text, needed);
}

std::string_view PythonEntries::searchable(std::size_t i, bool needed) const {
  return text_field(i, entry_keys().searchable, needed);
}

PyObject* PythonEntries::element(std::size_t i) const {
  PyObject* el = field(entry(i), entry_keys().element);
  if (!el || el == Py_None) return nullptr;
  return dict_or_raise(el, "a matrix entry's 'element'");
}

PyObject* PythonEntries::attributes(std::size_t i) const {
  if (attributes_read_.empty()) {
    attributes_read_.assign(entries_.size(), false);
    attributes_.resize(entries_.size());
  }
  if (!attributes_read_[i]) {
    PyObject* el = element(i);
    const nb::object hold = nb::borrow(el);
    PyObject* attrs = el ? field(el, entry_keys().attributes) : nullptr;
    if (attrs && attrs != Py_None) attributes_[i] = nb::borrow(dict_or_raise(attrs, "an element's 'attributes'"));
    attributes_read_[i] = true;
  }
  return attributes_[i].ptr();
}

std::optional<std::string_view> PythonEntries::anchor_attribute(std::size_t i, spatial::AnchorAttribute which) const {
  PyObject* attrs = attributes(i);
  if (!attrs) return std::nullopt;
  PyObject* v = field(attrs, entry_keys().anchor_attributes[static_cast<std::size_t>(which)]);
  if (!v) return std::nullopt;
  const nb::object hold = nb::borrow(v);
  if (!truthy(v)) return std::nullopt;
  if (!PyUnicode_Check(v)) raise_kind("an anchor attribute", "str", v);
  return texts_.view(v);
}

PyObject* PythonEntries::position(std::size_t i) const {
  if (positions_.empty()) positions_.resize(entries_.size());
  if (!positions_[i].is_valid())
    positions_[i] = nb::borrow(dict_or_raise(required(i, entry_keys().position), "a matrix entry's 'position'"));
  return positions_[i].ptr();
}

double PythonEntries::coordinate(std::size_t i, spatial::Coordinate c) const {
  PyObject* v = required_field(position(i), entry_keys().coordinates[static_cast<std::size_t>(c)]);
  const nb::object hold = nb::borrow(v);
  return as_double(v);
}

double PythonEntries::extent(std::size_t i, spatial::Coordinate c, double fallback) const {
  PyObject* pos = field(entry(i), entry_keys().position);
  if (!pos || pos == Py_None) return fallback;
  const nb::object hold_position = nb::borrow(dict_or_raise(pos, "a matrix entry's 'position'"));
  PyObject* v = field(pos, entry_keys().coordinates[static_cast<std::size_t>(c)]);
  if (!v) return fallback;
  const nb::object hold = nb::borrow(v);
  return as_double(v);
}

std::string_view PythonEntries::xpath(std::size_t i) const {
  PyObject* el = element(i);
  if (!el) return {};
  const nb::object hold = nb::borrow(el);
  PyObject* v = field(el, entry_keys().xpath);
  if (!v) return {};
  if (!PyUnicode_Check(v)) raise_kind("an XPath", "str", v);
  return texts_.view(v);
}

}  // namespace vantor::bindings
