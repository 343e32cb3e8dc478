// The kinds of failure the core reports. The bindings raise them as Python's
// ValueError, KeyError, TypeError and OSError.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

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

// A file-system call failed: error_number is its errno, path (and other_path,
// for a rename) the file names involved, as OSError reports them.
struct FileError : std::runtime_error {
  FileError(int error_number, std::string path, std::string other_path = {})
      : std::runtime_error(path),
        error_number(error_number),
        path(std::move(path)),
        other_path(std::move(other_path)) {}
  int error_number;
  std::string path;
  std::string other_path;
};

}  // namespace vantor
