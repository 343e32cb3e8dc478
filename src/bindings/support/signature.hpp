// Python's own errors for a call with missing, surplus or unknown arguments.
// Modules declare their functions through define.hpp, which registers these.
//
// nanobind answers a call that fits no overload with a generic "incompatible
// function arguments" message. Each function and method therefore gets one
// more overload, registered after the real one, that takes any arguments and
// raises the TypeError a Python def with the same parameters would raise. The
// real overload stays first, so a well-formed call pays nothing for it.
#pragma once

#include <nanobind/nanobind.h>

#include <string>
#include <utility>
#include <vector>

namespace vantor::bindings {

namespace nb = nanobind;

// The parameters of a def, without self: the first `required` have no default.
struct Signature {
  std::string name;  // as the message shows it: "resolve"
  std::vector<std::string> parameters;
  std::size_t required;
  bool method;  // counts self among the positional arguments, as Python does

  Signature(std::string name, std::vector<std::string> parameters, std::size_t required, bool method)
      : name(std::move(name)), parameters(std::move(parameters)), required(required), method(method) {}
};

// The TypeError Python raises when `args` and `kwargs` do not fit the
// signature ("resolve() takes 4 positional arguments but 5 were given",
// "parse() missing 1 required positional argument: 'instruction'").
[[noreturn]] void raise_argument_mismatch(const Signature& signature, const nb::args& args, const nb::kwargs& kwargs);

// Registers the catch-all overload of a method (Class is a nanobind class_).
template <typename Class>
void add_mismatch_overload(Class& cls, Signature signature) {
  using Self = typename Class::Type;
  const std::string name = signature.name;
  cls.def(
      name.c_str(),
      [signature = std::move(signature)](Self&, nb::args args, nb::kwargs kwargs) {
        raise_argument_mismatch(signature, args, kwargs);
      },
      nb::sig(("def " + name + "(self, *args, **kwargs) -> None").c_str()));
}

// The catch-all overload of a constructor: Signature{"__init__", {...}}.
template <typename Class>
void add_mismatch_constructor(Class& cls, Signature signature) {
  using Self = typename Class::Type;
  cls.def("__init__", [signature = std::move(signature)](Self*, nb::args args, nb::kwargs kwargs) {
    raise_argument_mismatch(signature, args, kwargs);
  });
}

// The catch-all overload of a static method: Signature{"name", {...}, false}.
template <typename Class>
void add_mismatch_static(Class& cls, Signature signature) {
  const std::string name = signature.name;
  cls.def_static(
      name.c_str(),
      [signature = std::move(signature)](nb::args args, nb::kwargs kwargs) {
        raise_argument_mismatch(signature, args, kwargs);
      },
      nb::sig(("def " + name + "(*args, **kwargs) -> None").c_str()));
}

// The catch-all overload of a module-level function.
void add_mismatch_function(nb::module_& module, Signature signature);

}  // namespace vantor::bindings
