// Exposes the core's text semantics and the binding conversions for property
// tests against Python itself. Built with the tests, never installed.
#include <nanobind/nanobind.h>
#include <nanobind/stl/string.h>
#include <nanobind/stl/vector.h>

#include "support/arguments.hpp"
#include "support/convert.hpp"
#include "support/error_translation.hpp"
#include "text/case.hpp"
#include "text/quoted.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"
#include "text/whitespace.hpp"
#include "values/text_form.hpp"

namespace nb = nanobind;
using namespace nb::literals;
using vantor::bindings::CallerValues;
using vantor::bindings::make_str;
using vantor::bindings::Utf8;

namespace {

template <typename F>
auto on_text(F f) {
  return [f](nb::handle s) { return f(Utf8(s).view()); };
}

nb::list views_to_list(const std::vector<std::string_view>& views) {
  nb::list out;
  for (std::string_view v : views) out.append(make_str(v));
  return out;
}

// For each code point of the lowered text, the code point index in the
// source it came from: shows where lowered positions land in the source.
nb::list lowered_origins(nb::handle s) {
  const Utf8 utf8(s);  // keeps the encoded text alive while source views it
  const std::string_view source = utf8.view();
  const vantor::text::LoweredText lowered(source);
  nb::list out;
  const std::string_view text = lowered.text();
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::size_t origin = lowered.source_offset(pos);
    out.append(nb::len(make_str(source.substr(0, origin))));
    if (pos == text.size()) break;
    pos += vantor::text::decode_at(text, pos).length;
  }
  return out;
}

// The same content with no link to the caller's objects, so that converting
// it back builds new Python objects.
vantor::values::Value detached(const vantor::values::Value& v) {
  using namespace vantor::values;
  if (v.is_list()) {
    List items;
    for (const Value& item : v.as_list()) items.push_back(detached(item));
    return Value(std::move(items));
  }
  if (v.is_record()) {
    Record record;
    for (const Entry& e : v.as_record().entries()) record.set(e.key, detached(e.value));
    return Value(std::move(record));
  }
  Value copy = v;
  copy.set_origin(nullptr);
  return copy;
}

// Every code point that has the named property, in ascending order.
nb::list code_points_where(const std::string& property) {
  using namespace vantor::text;
  bool (*test)(char32_t) = property == "space"       ? is_space
                           : property == "decimal"   ? is_decimal
                           : property == "digit"     ? is_digit
                           : property == "printable" ? is_printable
                                                     : nullptr;
  if (!test) throw nb::value_error("unknown property");
  nb::list out;
  for (char32_t cp = 0; cp <= max_code_point; ++cp)
    if (test(cp)) out.append(static_cast<std::uint32_t>(cp));
  return out;
}

}  // namespace

NB_MODULE(_textprobe, m) {
  vantor::bindings::register_core_errors();
  m.def("lower", on_text([](std::string_view s) { return make_str(vantor::text::lower(s)); }));
  m.def("strip", on_text([](std::string_view s) { return make_str(vantor::text::strip(s)); }));
  m.def("lstrip", on_text([](std::string_view s) { return make_str(vantor::text::lstrip(s)); }));
  m.def("rstrip", on_text([](std::string_view s) { return make_str(vantor::text::rstrip(s)); }));
  m.def("split", on_text([](std::string_view s) { return views_to_list(vantor::text::split(s)); }));
  m.def("quoted", on_text([](std::string_view s) { return make_str(vantor::text::quoted(s)); }));
  m.def("lowered_origins", &lowered_origins);
  m.def("code_points_where", &code_points_where, "property"_a);
  m.def(
      "text_form",
      [](nb::handle obj) {
        CallerValues values;
        return make_str(vantor::values::text_form(values.read(obj)));
      },
      "value"_a.none());
  m.def(
      "roundtrip",
      [](nb::handle obj) {
        CallerValues values;
        return vantor::bindings::to_python(values.read(obj));
      },
      "value"_a.none());
  m.def(
      "rebuild",
      [](nb::handle obj) {
        CallerValues values;
        return vantor::bindings::to_python(detached(values.read(obj)));
      },
      "value"_a.none());
  m.def("unicode_version", [] { return std::string(vantor::text::unicode_version()); });
}
