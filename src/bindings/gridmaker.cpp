// vantor.engine.spatial.gridmaker: the GridMaker class, which lays the page's
// descriptors out as one matrix in reading order.
#include <nanobind/nanobind.h>

#include <optional>
#include <vector>

#include "spatial/matrix_entries.hpp"
#include "spatial/matrix_rules.hpp"
#include "support/arguments.hpp"
#include "support/define.hpp"
#include "support/error_translation.hpp"
#include "support/held_objects.hpp"
#include "support/record_fields.hpp"
#include "support/record_shape.hpp"

namespace nb = nanobind;
namespace spatial = vantor::spatial;
using vantor::bindings::field;
using vantor::bindings::Held;
using vantor::bindings::TextViews;

namespace {

struct GridMaker {
  nb::object dom_elements;
  nb::object text_elements;
};

nb::list build(GridMaker& self) {
  if (!self.dom_elements.is_valid()) return nb::list();  // cleared by the garbage collector
  vantor::bindings::PendingEntries pending;
  TextViews views;
  pending.read(self.dom_elements.ptr(), false, views);
  pending.read(self.text_elements.ptr(), true, views);

  const std::vector<std::size_t> order = spatial::reading_order(pending.corners);
  std::vector<std::optional<std::string_view>> types;
  types.reserve(order.size());
  for (std::size_t i : order) types.push_back(pending.items[i].type);
  const std::vector<std::int64_t> ranks = spatial::order_in_type(types);

  nb::object matrix = vantor::bindings::checked(PyList_New(static_cast<Py_ssize_t>(order.size())));
  for (std::size_t at = 0; at < order.size(); ++at)
    PyList_SET_ITEM(matrix.ptr(), static_cast<Py_ssize_t>(at), pending.make_entry(order[at], at, ranks[at]));
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

PyObject* key(const char* name) { return vantor::bindings::interned(name); }

nb::object element_type_function(nb::handle element) {
  if (!PyDict_Check(element.ptr())) vantor::bindings::raise_argument_type("_element_type", "element", "dict", element);
  Held held;
  PyObject* attributes = vantor::bindings::attributes_of(element.ptr(), held);
  PyObject* tag = held.keep(field(element.ptr(), key("tag")));
  TextViews views;
  return nb::borrow(vantor::bindings::element_type_of(tag ? tag : key(""), attributes, held, views).object);
}

nb::object position_function(nb::handle bb) {
  if (!PyDict_Check(bb.ptr())) vantor::bindings::raise_argument_type("_position", "bb", "dict", bb);
  return vantor::bindings::position_of(bb.ptr()).record;
}

nb::object searchable_function(nb::handle element) {
  if (!PyDict_Check(element.ptr())) vantor::bindings::raise_argument_type("_searchable", "element", "dict", element);
  Held held;
  PyObject* attributes = vantor::bindings::attributes_of(element.ptr(), held);
  PyObject* label = attributes ? held.keep(field(attributes, key("_label"))) : nullptr;
  TextViews views;
  return vantor::bindings::searchable_of(held.keep(field(element.ptr(), key("text"))), label, attributes, held, views);
}

}  // namespace

NB_MODULE(gridmaker, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "Lays the page's element and text descriptors out as one matrix in reading order.";
  using vantor::bindings::def_function;
  using vantor::bindings::def_method;

  auto cls = nb::class_<GridMaker>(
      m, "GridMaker", "Builds the spatial matrix of one page scan.",
      nb::type_slots(
          vantor::bindings::held_objects_slots<GridMaker, &GridMaker::dom_elements, &GridMaker::text_elements>()));
  def_method(cls, "def __init__(self, dom_elements: list[dict], text_elements: list[dict] | None = None) -> None",
             &init);
  cls.def_prop_ro(
      "dom_elements", [](GridMaker& g) { return vantor::bindings::held_list(g.dom_elements); },
      "The element descriptors, as given.");
  cls.def_prop_ro(
      "text_elements", [](GridMaker& g) { return vantor::bindings::held_list(g.text_elements); },
      "The text element descriptors, an empty list when none were given.");
  def_method(cls, "def build(self) -> list[dict]", &build,
             "The matrix: one entry per placed descriptor, in reading order.");

  def_function(m, "def _element_type(element: dict) -> str | None", &element_type_function,
               "The element type of an element descriptor.");
  def_function(m, "def _position(bb: dict) -> dict", &position_function, "The position record of a bounding box.");
  def_function(m, "def _searchable(element: dict) -> str", &searchable_function,
               "The text an element descriptor is searched under.");

  nb::dict tag_to_type;
  for (const spatial::TagType& t : spatial::tag_to_type)
    tag_to_type[vantor::bindings::make_str(t.tag)] = vantor::bindings::make_str(t.type);
  m.attr("_TAG_TO_TYPE") = tag_to_type;
}
