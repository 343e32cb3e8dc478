// Reading arguments the way Python's own functions do: a wrong type is a
// TypeError that names the function and the argument.
#pragma once

#include <nanobind/nanobind.h>

#include <string_view>

namespace vantor::bindings {

namespace nb = nanobind;

// The UTF-8 of a str, valid while the str lives: in place for compact ASCII,
// else Python's own cached UTF-8. A str holding lone surrogates has none; its
// three-byte form is made into a new bytes object, left in `encoded`, which
// the view then lies in.
std::string_view encoded_utf8(PyObject* str, nb::object& encoded);
inline std::string_view utf8_of(PyObject* str, nb::object& encoded) {
  if (PyUnicode_IS_COMPACT_ASCII(str))
    return {static_cast<const char*>(PyUnicode_DATA(str)), static_cast<std::size_t>(PyUnicode_GET_LENGTH(str))};
  return encoded_utf8(str, encoded);
}

// A Python str read as UTF-8. Python keeps compact ASCII strings in that form
// already, so the common case copies nothing. A string holding lone
// surrogates is carried in their three-byte form, which make_str reads back.
// The view stays valid while this lives: it holds a reference to what it
// views, since caller code (a finaliser) may drop the str meanwhile.
class Utf8 {
 public:
  explicit Utf8(nb::handle str);
  std::string_view view() const { return view_; }
  // True when the view lies in the str itself, valid for as long as the str lives.
  bool in_place() const { return in_place_; }

 private:
  nb::object owner_;  // the str, or its encoded bytes when Python's own UTF-8 could not be used
  std::string_view view_;
  bool in_place_ = true;
};

// "parse() argument 'instruction' must be str, not int".
[[noreturn]] void raise_argument_type(const char* function, const char* argument, const char* expected,
                                      nb::handle actual);

Utf8 str_argument(nb::handle obj, const char* function, const char* argument);
nb::list list_argument(nb::handle obj, const char* function, const char* argument);
// A list, or None (given back as an invalid handle).
nb::list optional_list_argument(nb::handle obj, const char* function, const char* argument);
nb::dict dict_argument(nb::handle obj, const char* function, const char* argument);
// A dict, or None (given back as an invalid handle).
nb::dict optional_dict_argument(nb::handle obj, const char* function, const char* argument);

// A new str from UTF-8 text that came from the core.
nb::str make_str(std::string_view text);

// An interned str for a name used on every call (a record key), made once and
// kept for the interpreter's lifetime. Raises the Python error if it fails.
PyObject* interned(const char* name);

}  // namespace vantor::bindings
