// vantor.engine.strategies.layoutmatcher: the LayoutMatcher class, the
// strategy-level entry point of spatial resolution. It checks its arguments
// and resolves nothing: spatial targets are resolved over the matrix by
// GridSeeker.
#include <nanobind/nanobind.h>

#include "support/arguments.hpp"
#include "support/define.hpp"
#include "support/error_translation.hpp"

namespace nb = nanobind;
using vantor::bindings::raise_argument_type;

namespace {

struct LayoutMatcher {};

// Exactly dict or list: None and subclasses are refused, first failing
// argument in parameter order.
void resolve(LayoutMatcher&, nb::handle parsed_instruction, nb::handle matrix, nb::handle dom_candidates) {
  if (!PyDict_CheckExact(parsed_instruction.ptr()))
    raise_argument_type("resolve", "parsed_instruction", "dict", parsed_instruction);
  if (!PyDict_CheckExact(matrix.ptr())) raise_argument_type("resolve", "matrix", "dict", matrix);
  if (!PyList_CheckExact(dom_candidates.ptr()))
    raise_argument_type("resolve", "dom_candidates", "list", dom_candidates);
}

}  // namespace

NB_MODULE(layoutmatcher, m) {
  vantor::bindings::register_core_errors();
  m.doc() = "The strategy-level entry point of spatial resolution.";
  auto cls = nb::class_<LayoutMatcher>(m, "LayoutMatcher", "The spatial strategy's entry point. Holds no state.");
  vantor::bindings::def_method(
      cls, "def __init__(self) -> None", +[](LayoutMatcher* self) { new (self) LayoutMatcher{}; });
  vantor::bindings::def_method(
      cls, "def resolve(self, parsed_instruction: dict, matrix: dict, dom_candidates: list) -> None", &resolve,
      "Checks the argument types; returns None.");
}
