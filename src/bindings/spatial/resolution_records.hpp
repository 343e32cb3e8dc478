// GridSeeker's answers as Python records: the resolution result of a target
// (by ordinal alone, or by an anchor), holding the matrix's own descriptors,
// and the strs of the core's names.
#pragma once

#include <nanobind/nanobind.h>

#include <optional>
#include <string_view>

#include "spatial/python_entries.hpp"
#include "spatial/resolver.hpp"
#include "spatial/target_grammar.hpp"

namespace vantor::bindings {

nb::dict result_of(const PythonEntries& entries, const spatial::Resolution& r);
nb::dict unresolved();

// The key "ordinal", as results and instructions spell it.
PyObject* ordinal_key();
// A type name or relation name as a str made once; None for none.
PyObject* type_object(std::optional<std::string_view> type);
PyObject* relation_object(std::optional<spatial::Relation> r);

}  // namespace vantor::bindings
