// vantor.engine.spatial.gridmaker: the GridMaker class, which lays the page's
// descriptors out as one matrix in reading order.
//
// A build makes two dicts per entry and nothing else: every value that is the
// caller's (tag, text, label, coordinates, the descriptor itself) is the
// caller's own object, and the dicts are copies of prepared blank dicts, which
// keeps their key order and costs less than inserting keys one by one.
#include <nanobind/nanobind.h>

#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "spatial/matrix_rules.hpp"
#include "support/arguments.hpp"
#include "support/error_translation.hpp"
#include "support/held_objects.hpp"
#include "support/record_fields.hpp"
#include "support/signature.hpp"

namespace nb = nanobind;
using namespace nb::literals;
namespace spatial = vantor::spatial;
using vantor::bindings::field;
using vantor::bindings::interned;
using vantor::bindings::TextViews;
using vantor::bindings::truthy;

namespace {

struct GridMaker {
  nb::object dom_elements;
  nb::object text_elements;
};

struct Names {
  // matrix entry keys, in order
  PyObject *index, *tag, *element_type, *text, *label, *searchable, *is_enabled, *is_anchor_only, *order_in_type,
      *position, *element;
  // position keys, in order
  std::array<PyObject*, 8> coordinates;
  // descriptor keys
  PyObject *attributes, *bounding_box, *width, *height, *role, *type, *underscore_label, *aria_label, *placeholder,
      *name;
  PyObject *empty, *zero, *two, *text_type;
  std::array<PyObject*, 6> types;  // the fixed element type names, as in type_names
  // Blank entries holding the values most entries have, so that only the
  // values that differ need setting; and a blank position.
  PyObject *blank_element_entry, *blank_text_entry, *blank_position;
};

constexpr std::array<std::string_view, 6> type_names = {"link", "button", "input", "select", "textbox", "combobox"};

PyObject* blank(std::span<PyObject* const> keys, std::span<PyObject* const> values) {
  PyObject* dict = PyDict_New();
  if (!dict) throw nb::python_error();
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (PyDict_SetItem(dict, keys[i], i < values.size() ? values[i] : Py_None) != 0) throw nb::python_error();
  return dict;
}

const Names& names() {
  static const Names* const made = [] {
    auto* n = new Names{};
    n->index = interned("index");
    n->tag = interned("tag");
    n->element_type = interned("element_type");
    n->text = interned("text");
    n->label = interned("label");
    n->searchable = interned("searchable");
    n->is_enabled = interned("is_enabled");
    n->is_anchor_only = interned("is_anchor_only");
    n->order_in_type = interned("order_in_type");
    n->position = interned("position");
    n->element = interned("element");
    const char* coordinate_keys[] = {"x", "y", "w", "h", "cx", "cy", "x2", "y2"};
    for (std::size_t i = 0; i < 8; ++i) n->coordinates[i] = interned(coordinate_keys[i]);
    n->attributes = interned("attributes");
    n->bounding_box = interned("bounding_box");
    n->width = interned("width");
    n->height = interned("height");
    n->role = interned("role");
    n->type = interned("type");
    n->underscore_label = interned("_label");
    n->aria_label = interned("aria-label");
    n->placeholder = interned("placeholder");
    n->name = interned("name");
    n->empty = interned("");
    n->zero = PyLong_FromLong(0);
    n->two = PyLong_FromLong(2);
    n->text_type = interned("text");
    for (std::size_t i = 0; i < type_names.size(); ++i) n->types[i] = interned(std::string(type_names[i]).c_str());
    const std::array<PyObject*, 11> entry_keys = {n->index,         n->tag,        n->element_type, n->text,
                                                  n->label,         n->searchable, n->is_enabled,   n->is_anchor_only,
                                                  n->order_in_type, n->position,   n->element};
    const std::array<PyObject*, 9> element_values = {n->zero,  n->empty, n->empty, n->empty, n->empty,
                                                     n->empty, Py_True,  Py_False, n->zero};
    const std::array<PyObject*, 9> text_values = {n->zero,  n->empty, n->text_type, n->empty, n->empty,
                                                  n->empty, Py_True,  Py_True,      n->zero};
    n->blank_element_entry = blank(entry_keys, element_values);
    n->blank_text_entry = blank(entry_keys, text_values);
    n->blank_position = blank(n->coordinates, {});
    return n;
  }();
  return *made;
}

PyObject* copy(PyObject* blank) {
  PyObject* dict = PyDict_Copy(blank);
  if (!dict) throw nb::python_error();
  return dict;
}

// Sets a key the blank dict already has: its place, and so the order, stays.
void put(PyObject* dict, PyObject* k, PyObject* value) {
  if (PyDict_SetItem(dict, k, value) != 0) throw nb::python_error();
}
// The same, skipped when the blank already holds that very object.
void put_unless(PyObject* dict, PyObject* k, PyObject* value, PyObject* blank_value) {
  if (value != blank_value) put(dict, k, value);
}
void put_new(PyObject* dict, PyObject* k, PyObject* value) {
  put(dict, k, value);
  Py_DECREF(value);
}

nb::object checked(PyObject* made) {
  if (!made) throw nb::python_error();
  return nb::steal(made);
}

// A coordinate as the arithmetic sees it. Plain ints of up to 52 bits and
// plain floats are computed here, exactly as Python computes them (their
// sums and halves are exact in a double); anything else goes through
// Python's number protocol.
struct Number {
  PyObject* object;
  enum class Kind { integer, real, other } kind;
  long long integer = 0;
  double real = 0;

  explicit Number(PyObject* o) : object(o), kind(Kind::other) {
    if (PyFloat_CheckExact(o)) {
      kind = Kind::real;
      real = PyFloat_AS_DOUBLE(o);
    } else if (PyLong_CheckExact(o)) {
      int overflow = 0;
      const long long i = PyLong_AsLongLongAndOverflow(o, &overflow);
      if (overflow == 0 && i <= (1LL << 52) && i >= -(1LL << 52)) {
        kind = Kind::integer;
        integer = i;
        real = static_cast<double>(i);
      } else if (i == -1 && PyErr_Occurred()) {
        throw nb::python_error();
      }
    }
  }
  bool plain() const { return kind != Kind::other; }
  // The value as a sort key; a number of another type converts as float() does.
  double key() const { return plain() ? real : vantor::bindings::as_double(object); }
};

// start + extent / 2: a float whatever the inputs.
PyObject* centre(const Number& start, const Number& extent) {
  if (start.plain() && extent.plain()) return PyFloat_FromDouble(start.real + extent.real / 2);
  const nb::object half = checked(PyNumber_TrueDivide(extent.object, names().two));
  return PyNumber_Add(start.object, half.ptr());
}

// start + extent, keeping the inputs' type: int and int give an int.
PyObject* edge(const Number& start, const Number& extent) {
  using Kind = Number::Kind;
  if (start.kind == Kind::integer && extent.kind == Kind::integer)
    return PyLong_FromLongLong(start.integer + extent.integer);
  if (start.plain() && extent.plain() && (start.kind == Kind::real || extent.kind == Kind::real))
    return PyFloat_FromDouble(start.real + extent.real);
  return PyNumber_Add(start.object, extent.object);
}

struct Position {
  nb::object record;
  spatial::Corner corner;
};

// The position record of a bounding box: x, y, w, h (0 when missing), the
// centre and the far edges.
Position position_of(PyObject* bb) {
  const Names& n = names();
  // Each value is held as soon as it is found: the next look-up may run
  // caller code that takes it out of the box.
  PyObject* const keys[4] = {n.coordinates[0], n.coordinates[1], n.width, n.height};
  nb::object held[4];
  for (std::size_t i = 0; i < 4; ++i) {
    PyObject* found = field(bb, keys[i]);
    held[i] = nb::borrow(found ? found : n.zero);
  }
  const Number x(held[0].ptr()), y(held[1].ptr()), w(held[2].ptr()), h(held[3].ptr());
  const nb::object cx = checked(centre(x, w)), cy = checked(centre(y, h));
  const nb::object x2 = checked(edge(x, w)), y2 = checked(edge(y, h));
  nb::object record = checked(copy(n.blank_position));
  PyObject* values[] = {x.object, y.object, w.object, h.object, cx.ptr(), cy.ptr(), x2.ptr(), y2.ptr()};
  for (std::size_t i = 0; i < 8; ++i) put(record.ptr(), n.coordinates[i], values[i]);
  return {std::move(record), {y.key(), x.key()}};
}

// References to the values read from one descriptor, taken as they are read:
// a later look-up may run caller code (the __eq__ of an odd key) that drops
// an earlier value from its record while a view of its text is in use.
class Held {
 public:
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    for (std::size_t i = 0; i < count_; ++i) Py_DECREF(items_[i]);
  }
  PyObject* keep(PyObject* obj) {
    if (obj) {
      if (count_ == items_.size()) throw std::length_error("more values held than a descriptor has rule fields");
      Py_INCREF(obj);
      items_[count_++] = obj;
    }
    return obj;
  }

 private:
  std::array<PyObject*, 16> items_;
  std::size_t count_ = 0;
};

// A descriptor's "attributes" record; null when it has none.
PyObject* attributes_of(PyObject* descriptor, Held& held) {
  PyObject* attributes = held.keep(field(descriptor, names().attributes));
  if (!attributes || attributes == Py_None) return nullptr;
  return vantor::bindings::dict_or_raise(attributes, "a descriptor's 'attributes'");
}

PyObject* attribute(PyObject* attributes, PyObject* k, Held& held) {
  return attributes ? held.keep(field(attributes, k)) : nullptr;
}

std::optional<std::string_view> text_of(PyObject* value, TextViews& views) {
  if (value && PyUnicode_Check(value)) return views.view(value);
  return std::nullopt;
}

PyObject* type_object(std::string_view type) {
  const Names& n = names();
  for (std::size_t i = 0; i < type_names.size(); ++i)
    if (type_names[i] == type) return n.types[i];
  return nullptr;
}

struct Typed {
  PyObject* object;  // the type as the entry holds it, borrowed
  std::optional<std::string_view> type;
};

// The element type of an element descriptor: a role of four, a button-like
// input, a listed tag's type, or else the tag itself.
Typed element_type_of(PyObject* tag, PyObject* attributes, Held& held, TextViews& views) {
  const Names& n = names();
  const auto decided = spatial::element_type(text_of(tag, views), text_of(attribute(attributes, n.role, held), views),
                                             [&] { return text_of(attribute(attributes, n.type, held), views); });
  if (!decided.tag_itself) return {type_object(*decided.type), decided.type};
  if (PyUnicode_Check(tag)) return {tag, decided.type};
  if (tag == Py_None) return {Py_None, std::nullopt};
  vantor::bindings::raise_kind("an element type (a descriptor's 'tag')", "str or None", tag);
}

// The search text of an element descriptor. A lone part that needs no
// trimming is the caller's own str.
nb::object searchable_of(PyObject* text, PyObject* label, PyObject* attributes, Held& held, TextViews& views) {
  const Names& n = names();
  PyObject* sources[] = {text, label, attribute(attributes, n.aria_label, held),
                         attribute(attributes, n.placeholder, held), attribute(attributes, n.name, held)};
  std::array<std::string_view, 5> parts;
  std::size_t kept = 0;
  PyObject* only = nullptr;
  for (PyObject* source : sources) {
    if (!source || !truthy(source)) continue;
    if (!PyUnicode_Check(source)) vantor::bindings::raise_kind("a part of the search text", "str", source);
    parts[kept++] = views.view(source);
    only = source;
  }
  if (kept == 0) return nb::borrow(n.empty);
  if (kept == 1 && PyUnicode_CheckExact(only) && spatial::trimmed_already(parts[0])) return nb::borrow(only);
  return vantor::bindings::make_str(spatial::searchable(std::span(parts.data(), kept)));
}

// The bounding box of a descriptor; null when it has none worth placing.
PyObject* box_of(PyObject* descriptor, Held& held) {
  PyObject* bb = held.keep(field(descriptor, names().bounding_box));
  if (!bb || bb == Py_None) return nullptr;
  vantor::bindings::dict_or_raise(bb, "a 'bounding_box'");
  return PyDict_GET_SIZE(bb) == 0 ? nullptr : bb;
}

PyObject* or_default(PyObject* value, PyObject* fallback) { return value ? value : fallback; }

// What one placed descriptor gives its entry, read in input order. The
// entries themselves are made afterwards in matrix order, each complete at
// once, so the matrix is written in one pass.
struct Pending {
  // References owned until handed to the entry.
  PyObject *element, *tag, *element_type, *text, *label, *searchable, *is_enabled, *position;
  std::optional<std::string_view> type;  // views a str that element_type or tag holds
  bool text_entry;
};

class PendingEntries {
 public:
  PendingEntries() = default;
  PendingEntries(const PendingEntries&) = delete;
  PendingEntries& operator=(const PendingEntries&) = delete;
  ~PendingEntries() {
    for (Pending& p : items) release(p);
  }
  static void release(Pending& p) {
    for (PyObject** slot :
         {&p.element, &p.tag, &p.element_type, &p.text, &p.label, &p.searchable, &p.is_enabled, &p.position})
      Py_CLEAR(*slot);
  }
  std::vector<Pending> items;
  std::vector<spatial::Corner> corners;
};

PyObject* owned(PyObject* obj) {
  Py_XINCREF(obj);
  return obj;
}

void read_descriptors(PyObject* list, bool text_entries, PendingEntries& out, TextViews& views) {
  const Names& n = names();
  out.items.reserve(out.items.size() + static_cast<std::size_t>(PyList_GET_SIZE(list)));
  out.corners.reserve(out.items.capacity());
  // The list is walked as a for loop walks it: its size is read again before
  // each item, since reading an item may run caller code that changes it.
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(list); ++i) {
    const nb::object descriptor = nb::borrow(PyList_GET_ITEM(list, i));
    PyObject* d = vantor::bindings::dict_or_raise(descriptor.ptr(), "a descriptor");
    Held held;  // what is read but not kept
    PyObject* bb = box_of(d, held);
    if (!bb) continue;
    Position position = position_of(bb);
    out.corners.push_back(position.corner);
    // Kept values are owned by the pending entry from the moment they are
    // read; null stands for the blank entry's own value.
    Pending& p = out.items.emplace_back(
        Pending{owned(d), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}, text_entries});
    p.position = position.record.release().ptr();
    PyObject* attributes = attributes_of(d, held);
    p.tag = owned(field(d, n.tag));
    p.text = owned(field(d, n.text));
    p.label = owned(attributes ? field(attributes, n.underscore_label) : nullptr);
    if (text_entries) {
      p.type = spatial::text_type;
      p.searchable = owned(p.text);
    } else {
      const Typed typed = element_type_of(p.tag ? p.tag : n.empty, attributes, held, views);
      p.element_type = owned(typed.object);
      p.type = typed.type;
      p.searchable = searchable_of(p.text, p.label, attributes, held, views).release().ptr();
      p.is_enabled = owned(field(d, n.is_enabled));
    }
  }
}

// The entry of one pending descriptor: a copy of the blank entry of its kind
// with the values that differ from the blank's set.
PyObject* make_entry(Pending& p, std::size_t index, std::int64_t order_in_type) {
  const Names& n = names();
  nb::object entry = checked(copy(p.text_entry ? n.blank_text_entry : n.blank_element_entry));
  PyObject* e = entry.ptr();
  if (index != 0) put_new(e, n.index, checked(PyLong_FromSize_t(index)).release().ptr());
  if (p.tag) put_unless(e, n.tag, p.tag, n.empty);
  if (p.element_type) put_unless(e, n.element_type, p.element_type, n.empty);
  if (p.text) put_unless(e, n.text, p.text, n.empty);
  if (p.label) put_unless(e, n.label, p.label, n.empty);
  if (p.searchable) put_unless(e, n.searchable, p.searchable, n.empty);
  if (p.is_enabled) put_unless(e, n.is_enabled, p.is_enabled, Py_True);
  put_new(e, n.order_in_type, checked(PyLong_FromLongLong(order_in_type)).release().ptr());
  put(e, n.position, p.position);
  put(e, n.element, p.element);
  PendingEntries::release(p);
  return entry.release().ptr();
}

nb::list build(GridMaker& self) {
  if (!self.dom_elements.is_valid()) return nb::list();  // cleared by the garbage collector
  PendingEntries pending;
  TextViews views;
  read_descriptors(self.dom_elements.ptr(), false, pending, views);
  read_descriptors(self.text_elements.ptr(), true, pending, views);

  const std::vector<std::size_t> order = spatial::reading_order(pending.corners);
  std::vector<std::optional<std::string_view>> types;
  types.reserve(order.size());
  for (std::size_t i : order) types.push_back(pending.items[i].type);
  const std::vector<std::int64_t> ranks = spatial::order_in_type(types);

  nb::object matrix = checked(PyList_New(static_cast<Py_ssize_t>(order.size())));
  for (std::size_t at = 0; at < order.size(); ++at)
    PyList_SET_ITEM(matrix.ptr(), static_cast<Py_ssize_t>(at), make_entry(pending.items[order[at]], at, ranks[at]));
  return nb::steal<nb::list>(matrix.release());
}

void init(GridMaker* self, nb::handle dom_elements, nb::handle text_elements) {
  const nb::list dom = vantor::bindings::list_argument(dom_elements, "GridMaker", "dom_elements");
  nb::object texts;
  if (text_elements.is_none()) {
    texts = nb::list();
  } else if (PyList_Check(text_elements.ptr())) {
    texts = PyList_GET_SIZE(text_elements.ptr()) > 0 ? nb::borrow(text_elements) : nb::list();
  } else {
    vantor::bindings::raise_argument_type("GridMaker", "text_elements", "list or None", text_elements);
  }
  new (self) GridMaker{dom, texts};
}

nb::object element_type_function(nb::handle element) {
  if (!PyDict_Check(element.ptr())) vantor::bindings::raise_argument_type("_element_type", "element", "dict", element);
  Held held;
  PyObject* attributes = attributes_of(element.ptr(), held);
  PyObject* tag = or_default(held.keep(field(element.ptr(), names().tag)), names().empty);
  TextViews views;
  return nb::borrow(element_type_of(tag, attributes, held, views).object);
}

nb::object position_function(nb::handle bb) {
  if (!PyDict_Check(bb.ptr())) vantor::bindings::raise_argument_type("_position", "bb", "dict", bb);
  return position_of(bb.ptr()).record;
}

nb::object searchable_function(nb::handle element) {
  if (!PyDict_Check(element.ptr())) vantor::bindings::raise_argument_type("_searchable", "element", "dict", element);
  Held held;
  PyObject* attributes = attributes_of(element.ptr(), held);
  TextViews views;
  return searchable_of(held.keep(field(element.ptr(), names().text)),
                       attribute(attributes, names().underscore_label, held), attributes, held, views);
}

}  // namespace

NB_MODULE(gridmaker, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Lays the page's element and text descriptors out as one matrix in reading order.";

  auto cls =
      nb::class_<GridMaker>(
          m, "GridMaker", "Builds the spatial matrix of one page scan.",
          nb::type_slots(
              vantor::bindings::held_objects_slots<GridMaker, &GridMaker::dom_elements, &GridMaker::text_elements>()))
          .def("__init__", &init, "dom_elements"_a.none(), "text_elements"_a.none() = nb::none(),
               nb::sig("def __init__(self, dom_elements: list[dict], text_elements: list[dict] | None = None) -> None"))
          .def_prop_ro(
              "dom_elements", [](GridMaker& g) { return vantor::bindings::held_list(g.dom_elements); },
              "The element descriptors, as given.")
          .def_prop_ro(
              "text_elements", [](GridMaker& g) { return vantor::bindings::held_list(g.text_elements); },
              "The text element descriptors, an empty list when none were given.")
          .def("build", &build, nb::sig("def build(self) -> list[dict]"),
               "The matrix: one entry per placed descriptor, in reading order.");
  vantor::bindings::add_mismatch_constructor(cls, {"__init__", {"dom_elements", "text_elements"}, 1});
  vantor::bindings::add_mismatch_overload(cls, {"build", {}});

  m.def("_element_type", &element_type_function, "element"_a.none(),
        nb::sig("def _element_type(element: dict) -> str | None"), "The element type of an element descriptor.");
  m.def("_position", &position_function, "bb"_a.none(), nb::sig("def _position(bb: dict) -> dict"),
        "The position record of a bounding box.");
  m.def("_searchable", &searchable_function, "element"_a.none(), nb::sig("def _searchable(element: dict) -> str"),
        "The text an element descriptor is searched under.");
  vantor::bindings::add_mismatch_function(m, {"_element_type", {"element"}, false});
  vantor::bindings::add_mismatch_function(m, {"_position", {"bb"}, false});
  vantor::bindings::add_mismatch_function(m, {"_searchable", {"element"}, false});

  nb::dict tag_to_type;
  for (const spatial::TagType& t : spatial::tag_to_type)
    tag_to_type[vantor::bindings::make_str(t.tag)] = vantor::bindings::make_str(t.type);
  m.attr("_TAG_TO_TYPE") = tag_to_type;
}
