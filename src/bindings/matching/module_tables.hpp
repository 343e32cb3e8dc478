// The text matcher module's constant tables, as Python sets, lists and dicts
// made from the core's own tables.
#pragma once

#include <nanobind/nanobind.h>

namespace vantor::bindings {

void add_matching_tables(nanobind::module_& m);

}  // namespace vantor::bindings
