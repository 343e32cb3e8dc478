#include "support/descriptor_list.hpp"

#include <cmath>
#include <cstring>
#include <string_view>

#include "errors.hpp"
#include "support/arguments.hpp"
#include "support/record_fields.hpp"

namespace vantor::bindings {
namespace {

using matching::Field;
using matching::Kind;
namespace need = matching::need;

struct Keys {
  PyObject *tag, *text, *attributes, *bounding_box, *is_visible, *is_enabled, *is_editable_field, *xpath;
  PyObject *x, *y, *width, *height;
  PyObject* role;
};

// Interned once, kept for the interpreter's lifetime: a caller's dict keyed
// by literals finds them by identity.
const Keys& keys() {
  static const Keys* const made = [] {
    auto* k = new Keys{};
    k->tag = interned("tag");
    k->text = interned("text");
    k->attributes = interned("attributes");
    k->bounding_box = interned("bounding_box");
    k->is_visible = interned("is_visible");
    k->is_enabled = interned("is_enabled");
    k->is_editable_field = interned("is_editable_field");
    k->xpath = interned("xpath");
    k->x = interned("x");
    k->y = interned("y");
    k->width = interned("width");
    k->height = interned("height");
    k->role = interned("role");
    return k;
  }();
  return *made;
}

// The UTF-8 of a str; an encoded copy (lone surrogates) is held in `keep`.
std::string_view utf8_text(PyObject* str, std::vector<PyObject*>& keep) {
  nb::object encoded;
  const std::string_view text = utf8_of(str, encoded);
  if (encoded.is_valid()) keep.push_back(encoded.release().ptr());
  return text;
}

void reset(Field& f) {
  f.kind = Kind::missing;
  f.truthy = false;
}

// The value of key in dict; nullptr when missing. Held in `keep` unless it is
// None, a bool or a number, whose value is read at once and never again.
PyObject* look_up(PyObject* dict, PyObject* key, std::vector<PyObject*>& keep) {
  PyObject* value = field(dict, key);
  if (!value) return nullptr;
  if (value != Py_None && !PyBool_Check(value) && !PyLong_CheckExact(value) && !PyFloat_CheckExact(value)) {
    Py_INCREF(value);
    keep.push_back(value);
  }
  return value;
}

// The entry of `attributes` a key names, or nullptr for the keys no rule reads.
Field* attribute_slot(matching::Attributes& a, std::string_view key) {
  switch (key.size()) {
    case 2:
      return key == "id" ? &a.id : nullptr;
    case 3:
      return key == "alt" ? &a.alt : nullptr;
    case 4:
      return key == "type" ? &a.type : key == "role" ? &a.role : nullptr;
    case 5:
      return key == "class" ? &a.class_name : nullptr;
    case 6:
      return key == "_label" ? &a.label : nullptr;
    case 10:
      return key == "aria-label" ? &a.aria_label : nullptr;
    case 11:
      return key == "placeholder" ? &a.placeholder : key == "data-testid" ? &a.data_testid : nullptr;
    default:
      return nullptr;
  }
}

// Reads the entries of an attributes dict. Runs no caller code: only str
// keys are read, and only str values need their text.
void read_attributes(PyObject* dict, matching::Attributes& out, std::vector<PyObject*>& keep) {
  for (Field* f : {&out.aria_label, &out.label, &out.placeholder, &out.data_testid, &out.type, &out.alt,
                   &out.class_name, &out.id, &out.role})
    reset(*f);
  out.data_names.clear();
  Py_ssize_t pos = 0;
  PyObject *key, *value;
  while (PyDict_Next(dict, &pos, &key, &value)) {
    if (!PyUnicode_Check(key)) continue;
    const std::string_view name = utf8_text(key, keep);
    if (name.size() >= 5 && name[0] == 'd' && std::memcmp(name.data(), "data-", 5) == 0 && name != "data-testid")
      out.data_names.push_back(name);
    Field* slot = attribute_slot(out, name);
    if (!slot) continue;
    // Only str entries are read as text; the kind of any other is enough.
    slot->origin = value;
    if (PyUnicode_Check(value)) {
      slot->kind = Kind::text;
      slot->text = utf8_text(value, keep);
      slot->truthy = !slot->text.empty();
    } else {
      slot->kind = value == Py_None ? Kind::null : Kind::other;
      slot->type_name = Py_TYPE(value)->tp_name;
    }
  }
}

inline void classify(PyObject* v, Field& f, bool ask_truthiness, std::vector<PyObject*>& keep) {
  f.origin = v;
  if (!v) {
    reset(f);
    return;
  }
  if (v == Py_None) {
    f.kind = Kind::null;
    f.truthy = false;
  } else if (PyUnicode_Check(v)) {
    f.kind = Kind::text;
    f.text = utf8_text(v, keep);
    f.truthy = !f.text.empty();
  } else if (PyBool_Check(v)) {
    f.kind = Kind::boolean;
    f.truthy = v == Py_True;
    f.number = f.truthy ? 1 : 0;
  } else if (PyLong_Check(v)) {
    f.kind = Kind::integer;
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(v, &overflow);
    if (n == -1 && PyErr_Occurred()) throw nb::python_error();
    f.number = overflow > 0 ? HUGE_VAL : overflow < 0 ? -HUGE_VAL : static_cast<double>(n);
    f.truthy = f.number != 0;
  } else if (PyFloat_Check(v)) {
    f.kind = Kind::real;
    f.number = PyFloat_AS_DOUBLE(v);
    f.truthy = f.number != 0;
  } else if (PyDict_Check(v)) {
    f.kind = Kind::record;
    f.truthy = PyDict_GET_SIZE(v) > 0;
  } else {
    f.kind = Kind::other;
    f.type_name = Py_TYPE(v)->tp_name;
    f.truthy = false;
    if (ask_truthiness) {
      const int truth = PyObject_IsTrue(v);
      if (truth < 0) throw nb::python_error();
      f.truthy = truth != 0;
    }
  }
}

}  // namespace

void read_field(PyObject* v, Field& f, bool ask_truthiness, std::vector<PyObject*>& keep) {
  classify(v, f, ask_truthiness, keep);
}

DescriptorDicts::DescriptorDicts(nb::handle list, const char* name) : list_(nb::borrow(list)), name_(name) {
  kept_.reserve(16);
}

void DescriptorDicts::take() const {
  // The entries as they are now; caller code cannot take them away mid-call.
  taken_ = true;
  PyObject* list = list_.ptr();
  const Py_ssize_t n = PyList_GET_SIZE(list);
  items_.reserve(static_cast<std::size_t>(n));
  for (Py_ssize_t i = 0; i < n; ++i) {
    PyObject* item = PyList_GET_ITEM(list, i);
    Py_INCREF(item);
    items_.push_back(item);
  }
}

DescriptorDicts::DescriptorDicts(nb::handle single, const char* name, bool) : taken_(true), name_(name), single_(true) {
  Py_INCREF(single.ptr());
  items_.push_back(single.ptr());
}

DescriptorDicts::~DescriptorDicts() {
  release();
  for (PyObject* item : items_) Py_DECREF(item);
}

void DescriptorDicts::release() {
  while (!kept_.empty()) {
    PyObject* o = kept_.back();
    kept_.pop_back();
    Py_DECREF(o);
  }
}

std::string DescriptorDicts::where(std::size_t i) const {
  if (single_) return name_;
  return std::string(name_) + '[' + std::to_string(i) + ']';
}

void DescriptorDicts::read(std::size_t i, unsigned needs, matching::Descriptor& out) {
  PyObject* dict = items()[i];
  if (!PyDict_Check(dict))
    throw TypeError(where(i) + " must be dict, not " + (dict == Py_None ? "None" : Py_TYPE(dict)->tp_name));
  release();
  const Keys& k = keys();
  // A look-up may run caller code (the __eq__ of a key with the same hash),
  // so each value is read, or held, before the next look-up. Objects of
  // other kinds are asked for their truth only once every look-up is done,
  // and the attributes are read last: their views stay valid only while no
  // caller code runs.
  Field* ask[8];
  std::size_t asked = 0;
  const auto field = [&](unsigned flag, PyObject* key, Field& f) {
    if (!(needs & flag)) return;
    classify(look_up(dict, key, kept_), f, false, kept_);
    if (f.kind == Kind::other) ask[asked++] = &f;
  };
  field(need::tag, k.tag, out.tag);
  field(need::text, k.text, out.text);
  field(need::attributes | need::role, k.attributes, out.attributes_field);
  field(need::box | need::coordinates, k.bounding_box, out.bounding_box);
  field(need::is_visible, k.is_visible, out.is_visible);
  field(need::is_enabled, k.is_enabled, out.is_enabled);
  field(need::is_editable_field, k.is_editable_field, out.is_editable_field);
  field(need::xpath, k.xpath, out.xpath);
  if (needs & need::coordinates) {
    PyObject* box = out.bounding_box.kind == Kind::record
                        ? static_cast<PyObject*>(const_cast<void*>(out.bounding_box.origin))
                        : nullptr;
    const auto coordinate = [&](PyObject* key, Field& f) {
      classify(box ? look_up(box, key, kept_) : nullptr, f, false, kept_);
    };
    coordinate(k.x, out.x);
    coordinate(k.y, out.y);
    coordinate(k.width, out.width);
    coordinate(k.height, out.height);
  }
  for (std::size_t a = 0; a < asked; ++a) {
    const int truth = PyObject_IsTrue(static_cast<PyObject*>(const_cast<void*>(ask[a]->origin)));
    if (truth < 0) throw nb::python_error();
    ask[a]->truthy = truth != 0;
  }
  if ((needs & need::role) && !(needs & need::attributes)) {
    // One entry: a look-up, not a walk through the record.
    PyObject* attributes = out.attributes_field.kind == Kind::record
                               ? static_cast<PyObject*>(const_cast<void*>(out.attributes_field.origin))
                               : nullptr;
    read_field(attributes ? look_up(attributes, k.role, kept_) : nullptr, out.attributes.role, false, kept_);
  }
  if (needs & need::attributes) {
    if (out.attributes_field.kind == Kind::record) {
      read_attributes(static_cast<PyObject*>(const_cast<void*>(out.attributes_field.origin)), out.attributes, kept_);
    } else {
      matching::Attributes& a = out.attributes;
      for (Field* f :
           {&a.aria_label, &a.label, &a.placeholder, &a.data_testid, &a.type, &a.alt, &a.class_name, &a.id, &a.role})
        reset(*f);
      a.data_names.clear();
    }
  }
}

}  // namespace vantor::bindings
