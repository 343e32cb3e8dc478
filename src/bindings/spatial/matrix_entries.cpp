#include "spatial/matrix_entries.hpp"

#include <array>
#include <span>

#include "spatial/entry_keys.hpp"
#include "spatial/position_arithmetic.hpp"
#include "support/arguments.hpp"
#include "support/record_shape.hpp"

namespace vantor::bindings {
namespace {

enum class ReadKey { tag, text, attributes, bounding_box, is_enabled, x, y, width, height };
enum class AttributeKey { role, type, label, aria_label, placeholder, name };

const RecordShape<ReadKey>& read_keys() {
  static const RecordShape<ReadKey> shape{"tag", "text", "attributes", "bounding_box", "is_enabled",
                                          "x",   "y",    "width",      "height"};
  return shape;
}
const RecordShape<AttributeKey>& attribute_keys() {
  static const RecordShape<AttributeKey> shape{"role", "type", "_label", "aria-label", "placeholder", "name"};
  return shape;
}

// The blank entries hold the values most entries have, so that only the
// values that differ need setting.
const Shape& blank_entry(bool text_entry) {
  static const Shape element{Field{"index", 0},    {"tag", ""},        {"element_type", ""}, {"text", ""},
                             {"label", ""},        {"searchable", ""}, {"is_enabled", true}, {"is_anchor_only", false},
                             {"order_in_type", 0}, {"position"},       {"element"}};
  static const Shape text{
      Field{"index", 0},  {"tag", ""},          {"element_type", "text"}, {"text", ""},         {"label", ""},
      {"searchable", ""}, {"is_enabled", true}, {"is_anchor_only", true}, {"order_in_type", 0}, {"position"},
      {"element"}};
  return text_entry ? text : element;
}
const Shape& blank_position() {
  static const Shape shape{Field{"x"}, {"y"}, {"w"}, {"h"}, {"cx"}, {"cy"}, {"x2"}, {"y2"}};
  return shape;
}

// The fixed element type names as strs, made once.
PyObject* type_object(std::string_view type) {
  static const std::vector<PyObject*> made = [] {
    std::vector<PyObject*> strs;
    for (std::string_view name : spatial::element_type_names) strs.push_back(interned(std::string(name).c_str()));
    return strs;
  }();
  for (std::size_t i = 0; i < spatial::element_type_names.size(); ++i)
    if (spatial::element_type_names[i] == type) return made[i];
  return nullptr;
}

// A coordinate: a plain number the core computes with, or any other number,
// whose arithmetic is Python's.
struct Number {
  PyObject* object;
  std::optional<spatial::PlainNumber> plain;

  explicit Number(PyObject* o) : object(o) {
    if (PyFloat_CheckExact(o)) {
      plain = spatial::PlainNumber::of_real(PyFloat_AS_DOUBLE(o));
    } else if (PyLong_CheckExact(o)) {
      int overflow = 0;
      const long long i = PyLong_AsLongLongAndOverflow(o, &overflow);
      if (i == -1 && PyErr_Occurred()) throw nb::python_error();
      if (overflow == 0) plain = spatial::PlainNumber::of_integer(i);
    }
  }
  // The value as a sort key; a number of another type converts as float() does.
  double key() const { return plain ? plain->real : as_double(object); }
};

nb::object centre(const Number& start, const Number& extent) {
  if (start.plain && extent.plain) return checked(PyFloat_FromDouble(spatial::centre(*start.plain, *extent.plain)));
  static const Blank two(2);
  const nb::object half = checked(PyNumber_TrueDivide(extent.object, two.object));
  return checked(PyNumber_Add(start.object, half.ptr()));
}

nb::object edge(const Number& start, const Number& extent) {
  if (!start.plain || !extent.plain) return checked(PyNumber_Add(start.object, extent.object));
  const spatial::PlainNumber sum = spatial::edge(*start.plain, *extent.plain);
  return checked(sum.kind == spatial::PlainNumber::Kind::integer ? PyLong_FromLongLong(sum.integer)
                                                                 : PyFloat_FromDouble(sum.real));
}

PyObject* attribute(PyObject* attributes, AttributeKey k, Held& held) {
  return attributes ? held.keep(field(attributes, attribute_keys().key(k))) : nullptr;
}

std::optional<std::string_view> text_of(PyObject* value, TextViews& views) {
  if (value && PyUnicode_Check(value)) return views.view(value);
  return std::nullopt;
}

// The bounding box of a descriptor; null when it has none worth placing.
PyObject* box_of(PyObject* descriptor, Held& held) {
  PyObject* bb = held.keep(field(descriptor, read_keys().key(ReadKey::bounding_box)));
  if (!bb || bb == Py_None) return nullptr;
  dict_or_raise(bb, "a 'bounding_box'");
  return PyDict_GET_SIZE(bb) == 0 ? nullptr : bb;
}

PyObject* owned(PyObject* obj) {
  Py_XINCREF(obj);
  return obj;
}

void release(Pending& p) {
  for (PyObject** slot :
       {&p.element, &p.tag, &p.element_type, &p.text, &p.label, &p.searchable, &p.is_enabled, &p.position})
    Py_CLEAR(*slot);
}

// Sets a key unless the blank already holds that very object there.
void put_unless(PyObject* dict, PyObject* key, PyObject* value, PyObject* blank_value) {
  if (value != blank_value) put(dict, key, value);
}

}  // namespace

Position position_of(PyObject* bb) {
  const auto& keys = read_keys();
  // Each value is held as soon as it is found: the next look-up may run
  // caller code that takes it out of the box.
  const ReadKey box_keys[4] = {ReadKey::x, ReadKey::y, ReadKey::width, ReadKey::height};
  static const Blank zero(0);
  nb::object held[4];
  for (std::size_t i = 0; i < 4; ++i) {
    PyObject* found = field(bb, keys.key(box_keys[i]));
    held[i] = nb::borrow(found ? found : zero.object);
  }
  const Number x(held[0].ptr()), y(held[1].ptr()), w(held[2].ptr()), h(held[3].ptr());
  const nb::object cx = centre(x, w), cy = centre(y, h), x2 = edge(x, w), y2 = edge(y, h);
  const nb::dict record = blank_position().make();
  PyObject* values[] = {x.object, y.object, w.object, h.object, cx.ptr(), cy.ptr(), x2.ptr(), y2.ptr()};
  for (std::size_t i = 0; i < 8; ++i) put(record.ptr(), blank_position().key(i), values[i]);
  return {record, {y.key(), x.key()}};
}

PyObject* attributes_of(PyObject* descriptor, Held& held) {
  PyObject* attributes = held.keep(field(descriptor, read_keys().key(ReadKey::attributes)));
  if (!attributes || attributes == Py_None) return nullptr;
  return dict_or_raise(attributes, "a descriptor's 'attributes'");
}

Typed element_type_of(PyObject* tag, PyObject* attributes, Held& held, TextViews& views) {
  const auto decided =
      spatial::element_type(text_of(tag, views), text_of(attribute(attributes, AttributeKey::role, held), views),
                            [&] { return text_of(attribute(attributes, AttributeKey::type, held), views); });
  if (!decided.tag_itself) return {type_object(*decided.type), decided.type};
  if (PyUnicode_Check(tag)) return {tag, decided.type};
  if (tag == Py_None) return {Py_None, std::nullopt};
  raise_kind("an element type (a descriptor's 'tag')", "str or None", tag);
}

nb::object searchable_of(PyObject* text, PyObject* label, PyObject* attributes, Held& held, TextViews& views) {
  PyObject* sources[] = {text, label, attribute(attributes, AttributeKey::aria_label, held),
                         attribute(attributes, AttributeKey::placeholder, held),
                         attribute(attributes, AttributeKey::name, held)};
  std::array<std::string_view, 5> parts;
  std::size_t kept = 0;
  PyObject* only = nullptr;
  for (PyObject* source : sources) {
    if (!source || !truthy(source)) continue;
    if (!PyUnicode_Check(source)) raise_kind("a part of the search text", "str", source);
    parts[kept++] = views.view(source);
    only = source;
  }
  if (kept == 0) return nb::borrow(empty_str());
  if (kept == 1 && PyUnicode_CheckExact(only) && spatial::trimmed_already(parts[0])) return nb::borrow(only);
  return make_str(spatial::searchable(std::span(parts.data(), kept)));
}

PendingEntries::~PendingEntries() {
  for (Pending& p : items) release(p);
}

void PendingEntries::read(PyObject* list, bool text_entries, TextViews& views) {
  const auto& keys = read_keys();
  items.reserve(items.size() + static_cast<std::size_t>(PyList_GET_SIZE(list)));
  corners.reserve(items.capacity());
  Held held;  // what is read but not kept
  // The list is walked as a for loop walks it: its size is read again before
  // each item, since reading an item may run caller code that changes it.
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(list); ++i, held.release()) {
    const nb::object descriptor = nb::borrow(PyList_GET_ITEM(list, i));
    PyObject* d = dict_or_raise(descriptor.ptr(), "a descriptor");
    PyObject* bb = box_of(d, held);
    if (!bb) continue;
    Position position = position_of(bb);
    corners.push_back(position.corner);
    // Kept values are owned by the pending entry from the moment they are read.
    Pending& p = items.emplace_back(
        Pending{owned(d), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}, text_entries});
    p.position = position.record.release().ptr();
    PyObject* attributes = attributes_of(d, held);
    p.tag = owned(field(d, keys.key(ReadKey::tag)));
    p.text = owned(field(d, keys.key(ReadKey::text)));
    p.label = owned(attributes ? field(attributes, attribute_keys().key(AttributeKey::label)) : nullptr);
    if (text_entries) {
      p.type = spatial::text_type;
      p.searchable = owned(p.text);
    } else {
      const Typed typed = element_type_of(p.tag ? p.tag : empty_str(), attributes, held, views);
      p.element_type = owned(typed.object);
      p.type = typed.type;
      p.searchable = searchable_of(p.text, p.label, attributes, held, views).release().ptr();
      p.is_enabled = owned(field(d, keys.key(ReadKey::is_enabled)));
    }
  }
}

PyObject* PendingEntries::make_entry(std::size_t i, std::size_t index, std::int64_t order_in_type) {
  Pending& p = items[i];
  const EntryKeys& k = entry_keys();
  PyObject* empty = empty_str();
  const nb::dict entry = blank_entry(p.text_entry).make();
  PyObject* e = entry.ptr();
  if (index != 0) put_new(e, k.index, PyLong_FromSize_t(index));
  if (p.tag) put_unless(e, k.tag, p.tag, empty);
  if (p.element_type) put_unless(e, k.element_type, p.element_type, empty);
  if (p.text) put_unless(e, k.text, p.text, empty);
  if (p.label) put_unless(e, k.label, p.label, empty);
  if (p.searchable) put_unless(e, k.searchable, p.searchable, empty);
  if (p.is_enabled) put_unless(e, k.is_enabled, p.is_enabled, Py_True);
  put_new(e, k.order_in_type, PyLong_FromLongLong(order_in_type));
  put(e, k.position, p.position);
  put(e, k.element, p.element);
  release(p);
  return entry.inc_ref().ptr();
}

}  // namespace vantor::bindings
