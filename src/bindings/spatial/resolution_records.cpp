#include "spatial/resolution_records.hpp"

#include <array>
#include <string>

#include "spatial/entry_keys.hpp"
#include "support/arguments.hpp"
#include "support/record_fields.hpp"
#include "support/record_shape.hpp"

namespace vantor::bindings {
namespace {

// The two result records: by ordinal alone, and by an anchor.
const Shape& result_shape(bool long_form) {
  static const Shape short_form{Field{"resolved"}, {"confidence"}, {"element"}, {"candidates"}};
  static const Shape by_anchor{Field{"resolved"}, {"confidence"},   {"element"},     {"anchor_text"},
                               {"ordinal"},       {"type_relaxed"}, {"actual_type"}, {"candidates"}};
  return long_form ? by_anchor : short_form;
}
enum class ResultKey { resolved, confidence, element, anchor_text, ordinal, type_relaxed, actual_type, candidates };
PyObject* key(ResultKey k) { return result_shape(true).key(static_cast<std::size_t>(k)); }

PyObject* float_value(bool one) {
  static const Blank one_value(1.0), zero_value(0.0);
  return one ? one_value.object : zero_value.object;
}

// The strs of the core's names (relation names, type words), made once per name list.
template <std::size_t N, typename Name>
PyObject* name_object(std::size_t i, Name name_of) {
  static const std::array<PyObject*, N> made = [&] {
    std::array<PyObject*, N> strs{};
    for (std::size_t k = 0; k < N; ++k) strs[k] = interned(std::string(name_of(k)).c_str());
    return strs;
  }();
  return made[i];
}

// The descriptors ("element") of the chosen entries, in order.
nb::object elements(const PythonEntries& entries, const std::vector<std::size_t>& chosen) {
  nb::object list = checked(PyList_New(static_cast<Py_ssize_t>(chosen.size())));
  for (std::size_t k = 0; k < chosen.size(); ++k) {
    PyObject* el = entries.required(chosen[k], entry_keys().element);
    Py_INCREF(el);
    PyList_SET_ITEM(list.ptr(), static_cast<Py_ssize_t>(k), el);
  }
  return list;
}

}  // namespace

PyObject* ordinal_key() { return key(ResultKey::ordinal); }

PyObject* type_object(std::optional<std::string_view> type) {
  if (!type) return Py_None;
  constexpr std::size_t count = spatial::type_keywords.size();
  for (std::size_t i = 0; i < count; ++i)
    if (spatial::type_keywords[i].type == *type)
      return name_object<count>(i, [](std::size_t k) { return spatial::type_keywords[k].type; });
  return Py_None;
}

PyObject* relation_object(std::optional<spatial::Relation> r) {
  if (!r) return Py_None;
  return name_object<6>(static_cast<std::size_t>(*r),
                        [](std::size_t k) { return spatial::relation_name(static_cast<spatial::Relation>(k)); });
}

nb::dict unresolved() {
  const nb::dict result = result_shape(false).make();
  put(result.ptr(), key(ResultKey::resolved), Py_False);
  put(result.ptr(), key(ResultKey::confidence), float_value(false));
  put_new(result.ptr(), key(ResultKey::candidates), PyList_New(0));
  return result;
}

nb::dict result_of(const PythonEntries& entries, const spatial::Resolution& r) {
  using Kind = spatial::Resolution::Kind;
  if (r.kind == Kind::unresolved) return unresolved();
  // Everything the result holds is read and held before anything is made: a
  // new object may start the collector, and a finaliser may change entries.
  const nb::object element = nb::borrow(entries.required(r.element, entry_keys().element));
  nb::object anchor_text, actual_type;
  if (r.kind == Kind::by_anchor) {
    PyObject* searchable = field(entries.entry(r.anchor), entry_keys().searchable);
    anchor_text = nb::borrow(searchable ? searchable : empty_str());
    actual_type = nb::borrow(r.type_relaxed ? entries.required(r.element, entry_keys().element_type)
                                            : type_object(r.type_filter));
  }
  const nb::object candidates = elements(entries, r.candidates);
  const nb::dict result = result_shape(r.kind != Kind::by_ordinal).make();
  PyObject* d = result.ptr();
  put(d, key(ResultKey::resolved), Py_True);
  put(d, key(ResultKey::confidence), float_value(true));
  put(d, key(ResultKey::element), element.ptr());
  if (r.kind == Kind::by_anchor) {
    put(d, key(ResultKey::anchor_text), anchor_text.ptr());
    put_new(d, key(ResultKey::ordinal), PyLong_FromLongLong(r.ordinal));
    put(d, key(ResultKey::type_relaxed), r.type_relaxed ? Py_True : Py_False);
    put(d, key(ResultKey::actual_type), actual_type.ptr());
  }
  put(d, key(ResultKey::candidates), candidates.ptr());
  return result;
}

}  // namespace vantor::bindings
