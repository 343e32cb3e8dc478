#include "support/arguments.hpp"

#include <string>

namespace vantor::bindings {

std::string_view encoded_utf8(PyObject* str, nb::object& encoded) {
  Py_ssize_t size = 0;
  if (const char* data = PyUnicode_AsUTF8AndSize(str, &size)) return {data, static_cast<std::size_t>(size)};
  PyErr_Clear();  // lone surrogates: strict UTF-8 refuses them
  encoded = nb::steal(PyUnicode_AsEncodedString(str, "utf-8", "surrogatepass"));
  if (!encoded.is_valid()) throw nb::python_error();
  return {PyBytes_AS_STRING(encoded.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(encoded.ptr()))};
}

Utf8::Utf8(nb::handle str) : owner_(nb::borrow(str)) {
  nb::object encoded;
  view_ = utf8_of(str.ptr(), encoded);
  if (encoded.is_valid()) {
    owner_ = std::move(encoded);
    in_place_ = false;
  }
}

void raise_argument_type(const char* function, const char* argument, const char* expected, nb::handle actual) {
  const char* actual_name = actual.is_none() ? "None" : Py_TYPE(actual.ptr())->tp_name;
  const std::string message =
      std::string(function) + "() argument '" + argument + "' must be " + expected + ", not " + actual_name;
  throw nb::type_error(message.c_str());
}

Utf8 str_argument(nb::handle obj, const char* function, const char* argument) {
  if (!PyUnicode_Check(obj.ptr())) raise_argument_type(function, argument, "str", obj);
  return Utf8(obj);
}

nb::list list_argument(nb::handle obj, const char* function, const char* argument) {
  if (!PyList_Check(obj.ptr())) raise_argument_type(function, argument, "list", obj);
  return nb::borrow<nb::list>(obj);
}

nb::list optional_list_argument(nb::handle obj, const char* function, const char* argument) {
  if (obj.is_none()) return {};
  if (!PyList_Check(obj.ptr())) raise_argument_type(function, argument, "list or None", obj);
  return nb::borrow<nb::list>(obj);
}

nb::dict dict_argument(nb::handle obj, const char* function, const char* argument) {
  if (!PyDict_Check(obj.ptr())) raise_argument_type(function, argument, "dict", obj);
  return nb::borrow<nb::dict>(obj);
}

nb::dict optional_dict_argument(nb::handle obj, const char* function, const char* argument) {
  if (obj.is_none()) return {};
  if (!PyDict_Check(obj.ptr())) raise_argument_type(function, argument, "dict or None", obj);
  return nb::borrow<nb::dict>(obj);
}

nb::str make_str(std::string_view text) {
  PyObject* str = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogatepass");
  if (!str) throw nb::python_error();
  return nb::steal<nb::str>(str);
}

PyObject* interned(const char* name) {
  PyObject* str = PyUnicode_InternFromString(name);
  if (!str) throw nb::python_error();
  return str;
}

}  // namespace vantor::bindings
