// The three kinds of failure the core reports. The bindings raise them as
// Python's ValueError, KeyError and TypeError.
#pragma once

#include <stdexcept>
#include <string>

namespace vantor {

// Text that no rule accepts, or a value outside what an operation can take.
struct ValueError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A record lacks a key that is read without a default; what() is the key.
struct KeyError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A value of the wrong kind where a record or list is read.
struct TypeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace vantor
