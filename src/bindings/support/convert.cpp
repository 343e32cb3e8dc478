#include "support/convert.hpp"

#include <algorithm>
#include <string>

#include "errors.hpp"
#include "support/arguments.hpp"

namespace vantor::bindings {
namespace {

// Deeper than this a value is refused even when the interpreter's limit is
// higher: the C++ that reads and writes values recurses too, on a fixed stack.
constexpr int hard_depth_limit = 20000;

// One level of nesting, counted against the interpreter's recursion limit as
// repr() counts it.
class Nesting {
 public:
  explicit Nesting(const char* where) {
    if (++depth_ > hard_depth_limit) {
      --depth_;
      PyErr_Format(PyExc_RecursionError, "maximum recursion depth exceeded%s", where);
      throw nb::python_error();
    }
    if (Py_EnterRecursiveCall(where) != 0) {
      --depth_;
      throw nb::python_error();
    }
  }
  ~Nesting() {
    Py_LeaveRecursiveCall();
    --depth_;
  }
  Nesting(const Nesting&) = delete;
  Nesting& operator=(const Nesting&) = delete;

 private:
  static thread_local int depth_;
};

thread_local int Nesting::depth_ = 0;

values::Value int_from_python(PyObject* o) {
  // Read through the integer API: an int subclass's own __str__ or __index__
  // never runs, and cannot lie about the value.
  int overflow = 0;
  const long long i = PyLong_AsLongLongAndOverflow(o, &overflow);
  if (overflow == 0) {
    if (i == -1 && PyErr_Occurred()) throw nb::python_error();
    return values::Value(static_cast<std::int64_t>(i));
  }
  const nb::object digits = nb::steal(PyLong_Type.tp_repr(o));
  if (!digits.is_valid()) throw nb::python_error();
  return values::Value(values::BigInt{std::string(Utf8(digits).view())});
}

values::Value back_reference(PyObject* o) {
  values::Value v = values::Value::back_reference(PyDict_Check(o));
  v.set_origin(o);
  return v;
}

}  // namespace

values::Value CallerValues::read(nb::handle obj) {
  PyObject* o = obj.ptr();
  values::Value v;
  if (o == Py_None) {
    // null: the default value
  } else if (PyBool_Check(o)) {
    v = values::Value(o == Py_True);
  } else if (PyLong_Check(o)) {
    v = int_from_python(o);
  } else if (PyFloat_Check(o)) {
    v = values::Value(PyFloat_AS_DOUBLE(o));
  } else if (PyUnicode_Check(o)) {
    const Utf8 utf8(obj);
    v = utf8.in_place() ? values::Value::borrowed_text(utf8.view()) : values::Value(std::string(utf8.view()));
  } else if (PyList_Check(o) || PyDict_Check(o)) {
    if (std::find(open_.begin(), open_.end(), o) != open_.end()) return back_reference(o);
    const Nesting nesting(" while reading a record");
    open_.push_back(o);
    try {
      v = PyList_Check(o) ? read_list(o) : read_dict(o);
    } catch (...) {
      open_.pop_back();
      throw;
    }
    open_.pop_back();
  } else if (PyTuple_Check(o)) {
    const Nesting nesting(" while reading a record");
    v = read_tuple(o);
  } else {
    throw vantor::TypeError(std::string("a record value must be None, bool, int, float, str, list or dict, not ") +
                            Py_TYPE(o)->tp_name);
  }
  hold(obj);
  v.set_origin(o);
  return v;
}

values::Value CallerValues::read_list(PyObject* list) {
  values::List items;
  items.reserve(static_cast<std::size_t>(PyList_GET_SIZE(list)));
  // The size is read again after every item: reading one may run caller code
  // that shortens the list.
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(list); ++i) {
    const nb::object item = nb::borrow(PyList_GET_ITEM(list, i));
    items.push_back(read(item));
  }
  return values::Value(std::move(items));
}

values::Value CallerValues::read_tuple(PyObject* tuple) {
  values::List items;
  const Py_ssize_t n = PyTuple_GET_SIZE(tuple);  // a tuple never changes size
  items.reserve(static_cast<std::size_t>(n));
  for (Py_ssize_t i = 0; i < n; ++i) items.push_back(read(PyTuple_GET_ITEM(tuple, i)));
  return values::Value(std::move(items));
}

values::Value CallerValues::read_dict(PyObject* dict) {
  values::Record record;
  Py_ssize_t pos = 0;
  PyObject *key_ptr, *item_ptr;
  // PyDict_Next stays within the dict's current entries even when caller
  // code changes the dict between two steps.
  while (PyDict_Next(dict, &pos, &key_ptr, &item_ptr)) {
    const nb::object key = nb::borrow(key_ptr), item = nb::borrow(item_ptr);
    if (!PyUnicode_Check(key_ptr))
      throw vantor::TypeError(std::string("record keys must be str, not ") + Py_TYPE(key_ptr)->tp_name);
    std::string name(Utf8(key).view());
    record.set(std::move(name), read(item));
  }
  return values::Value(std::move(record));
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
          const Nesting nesting(" while building a record");
          nb::list list;
          for (const values::Value& item : x) list.append(to_python(item));
          return list;
        } else {
          const Nesting nesting(" while building a record");
          nb::dict dict;
          for (const values::Entry& e : x.entries()) dict[make_str(e.key)] = to_python(e.value);
          return dict;
        }
      },
      value.storage());
}

}  // namespace vantor::bindings
