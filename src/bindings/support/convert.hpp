// Python objects to the core's values and back.
//
// from_python borrows: texts view the caller's strings and every list and
// record remembers the object it was read from, so to_python hands back the
// caller's very own object. Keep the Python object alive while its value is used.
#pragma once

#include <nanobind/nanobind.h>

#include "values/value.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

// Throws TypeError for kinds a record cannot hold and for non-str keys.
values::Value from_python(nb::handle obj);

nb::object to_python(const values::Value& value);

}  // namespace vantor::bindings
