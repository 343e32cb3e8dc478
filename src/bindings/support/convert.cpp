#include "support/convert.hpp"

#include <string>

#include "errors.hpp"
#include "support/arguments.hpp"

namespace vantor::bindings {
namespace {

values::Value text_from_python(nb::handle str) {
  const Utf8 utf8(str);
  return utf8.in_place() ? values::Value::borrowed_text(utf8.view()) : values::Value(std::string(utf8.view()));
}

values::Value int_from_python(nb::handle obj) {
  int overflow = 0;
  const long long i = PyLong_AsLongLongAndOverflow(obj.ptr(), &overflow);
  if (overflow == 0) {
    if (i == -1 && PyErr_Occurred()) throw nb::python_error();
    return values::Value(static_cast<std::int64_t>(i));
  }
  const nb::str digits(obj);
  return values::Value(values::BigInt{std::string(Utf8(digits).view())});
}

}  // namespace

values::Value from_python(nb::handle obj) {
  PyObject* o = obj.ptr();
  values::Value v;
  if (o == Py_None) {
    // null: the default value
  } else if (PyBool_Check(o)) {
    v = values::Value(o == Py_True);
  } else if (PyLong_Check(o)) {
    v = int_from_python(obj);
  } else if (PyFloat_Check(o)) {
    v = values::Value(PyFloat_AS_DOUBLE(o));
  } else if (PyUnicode_Check(o)) {
    v = text_from_python(obj);
  } else if (PyList_Check(o) || PyTuple_Check(o)) {
    values::List items;
    const Py_ssize_t n = PySequence_Fast_GET_SIZE(o);
    items.reserve(static_cast<std::size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) items.push_back(from_python(PySequence_Fast_GET_ITEM(o, i)));
    v = values::Value(std::move(items));
  } else if (PyDict_Check(o)) {
    values::Record record;
    Py_ssize_t pos = 0;
    PyObject *key, *item;
    while (PyDict_Next(o, &pos, &key, &item)) {
      if (!PyUnicode_Check(key))
        throw vantor::TypeError(std::string("record keys must be str, not ") + Py_TYPE(key)->tp_name);
      record.set(std::string(Utf8(key).view()), from_python(item));
    }
    v = values::Value(std::move(record));
  } else {
    throw vantor::TypeError(std::string("a record value must be None, bool, int, float, str, list or dict, not ") +
                            Py_TYPE(o)->tp_name);
  }
  v.set_origin(o);
  return v;
}

nb::object to_python(const values::Value& value) {
  if (value.origin()) return nb::borrow(static_cast<PyObject*>(const_cast<void*>(value.origin())));
  return std::visit(
      [](const auto& x) -> nb::object {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return nb::none();
        } else if constexpr (std::is_same_v<T, bool>) {
          return nb::bool_(x);
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          return nb::int_(x);
        } else if constexpr (std::is_same_v<T, values::BigInt>) {
          return nb::int_(make_str(x.digits));
        } else if constexpr (std::is_same_v<T, double>) {
          return nb::float_(x);
        } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::string_view>) {
          return make_str(x);
        } else if constexpr (std::is_same_v<T, values::List>) {
          nb::list list;
          for (const values::Value& item : x) list.append(to_python(item));
          return list;
        } else {
          nb::dict dict;
          for (const values::Entry& e : x.entries()) dict[make_str(e.key)] = to_python(e.value);
          return dict;
        }
      },
      value.storage());
}

}  // namespace vantor::bindings
