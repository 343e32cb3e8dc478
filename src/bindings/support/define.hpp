// One declaration per bound function: its Python signature, written once as
// nanobind shows it ("def resolve(self, target: str, text: list[dict] | None =
// None) -> dict"), gives the parameter names that keyword calls use, their
// defaults, the signature the stub shows, and the catch-all overload that
// raises Python's own argument errors (see signature.hpp).
//
// Every parameter accepts None, so that the function itself reads each
// argument and raises the TypeError that names it.
#pragma once

#include <nanobind/nanobind.h>

#include <string>
#include <utility>
#include <vector>

#include "support/signature.hpp"

namespace vantor::bindings {

namespace nb = nanobind;

// What a declaration says: the name, the parameters without self, and the
// default of each (null for a parameter without one).
struct Declaration {
  std::string name;
  std::vector<std::string> parameters;
  std::vector<nb::object> defaults;
  bool method = false;

  Signature signature() const;
};

// Reads a declaration; std::invalid_argument when it is not one, which fails
// the module's import.
Declaration declaration(const char* text);

namespace detail {

using OptionalArg = decltype(nb::arg("").none() = nb::none());

// The annotation of parameter i: a default of null makes it required.
inline OptionalArg annotation(const Declaration& d, std::size_t i) {
  return OptionalArg(nb::arg(d.parameters[i].c_str()).none(), nb::object(d.defaults[i]));
}

void check_arity(const Declaration& d, std::size_t arity);

template <typename Target, typename F, std::size_t... I>
void define(Target& target, const char* text, const Declaration& d, F&& f, const char* doc, std::index_sequence<I...>) {
  // A null docstring is no docstring: nanobind reads whatever it is given.
  if (doc)
    target.def(d.name.c_str(), std::forward<F>(f), annotation(d, I)..., nb::sig(text), doc);
  else
    target.def(d.name.c_str(), std::forward<F>(f), annotation(d, I)..., nb::sig(text));
}

template <typename F>
struct Arity;
template <typename R, typename... A>
struct Arity<R (*)(A...)> {
  static constexpr std::size_t value = sizeof...(A);
};

}  // namespace detail

// A method (its first parameter, self, is the bound object) or a
// constructor ("def __init__(self, ...) -> None", taking T* first).
template <typename Class, typename F>
void def_method(Class& cls, const char* text, F f, const char* doc = nullptr) {
  const Declaration d = declaration(text);
  constexpr std::size_t arity = detail::Arity<F>::value - 1;
  detail::check_arity(d, arity);
  detail::define(cls, text, d, f, doc, std::make_index_sequence<arity>());
  if (d.name == "__init__")
    add_mismatch_constructor(cls, d.signature());
  else
    add_mismatch_overload(cls, d.signature());
}

// A static method of a class.
template <typename Class, typename F>
void def_static(Class& cls, const char* text, F f, const char* doc = nullptr) {
  const Declaration d = declaration(text);
  constexpr std::size_t arity = detail::Arity<F>::value;
  detail::check_arity(d, arity);
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    cls.def_static(d.name.c_str(), f, detail::annotation(d, I)..., nb::sig(text), doc ? doc : "");
  }
  (std::make_index_sequence<arity>());
  add_mismatch_static(cls, d.signature());
}

// A module-level function.
template <typename F>
void def_function(nb::module_& module, const char* text, F f, const char* doc = nullptr) {
  const Declaration d = declaration(text);
  constexpr std::size_t arity = detail::Arity<F>::value;
  detail::check_arity(d, arity);
  detail::define(module, text, d, f, doc, std::make_index_sequence<arity>());
  add_mismatch_function(module, d.signature());
}

}  // namespace vantor::bindings
