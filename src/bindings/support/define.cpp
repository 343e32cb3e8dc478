#include "support/define.hpp"

#include <stdexcept>
#include <string_view>

namespace vantor::bindings {
namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

[[noreturn]] void malformed(const char* text) {
  throw std::invalid_argument(std::string("not a declaration: ") + text);
}

// The parameters between the parentheses, split at the commas that are not
// inside a type's brackets.
std::vector<std::string_view> split_parameters(std::string_view list) {
  std::vector<std::string_view> parts;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '[') ++depth;
    if (list[i] == ']') --depth;
    if (list[i] == ',' && depth == 0) {
      parts.push_back(trimmed(list.substr(start, i - start)));
      start = i + 1;
    }
  }
  if (!trimmed(list.substr(start)).empty()) parts.push_back(trimmed(list.substr(start)));
  return parts;
}

nb::object default_value(std::string_view literal, const char* text) {
  if (literal == "None") return nb::none();
  if (literal == "False") return nb::bool_(false);
  if (literal == "True") return nb::bool_(true);
  malformed(text);
}

}  // namespace

Signature Declaration::signature() const {
  std::size_t required = 0;
  while (required < defaults.size() && !defaults[required].is_valid()) ++required;
  return Signature(name, parameters, required, method);
}

Declaration declaration(const char* text) {
  const std::string_view s(text);
  const std::size_t open = s.find('('), close = s.rfind(')');
  if (!s.starts_with("def ") || open == std::string_view::npos || close == std::string_view::npos || close < open)
    malformed(text);
  Declaration d;
  d.name = std::string(trimmed(s.substr(4, open - 4)));
  std::vector<std::string_view> parts = split_parameters(s.substr(open + 1, close - open - 1));
  if (!parts.empty() && parts.front() == "self") {
    d.method = true;
    parts.erase(parts.begin());
  }
  for (std::string_view part : parts) {
    const std::size_t colon = part.find(':'), equals = part.find(" = ");
    d.parameters.emplace_back(trimmed(part.substr(0, std::min(colon, equals))));
    d.defaults.push_back(equals == std::string_view::npos ? nb::object()
                                                          : default_value(part.substr(equals + 3), text));
    if (d.defaults.back().is_valid() == false && d.defaults.size() > 1 && d.defaults[d.defaults.size() - 2].is_valid())
      malformed(text);  // a parameter without a default after one with
  }
  return d;
}

namespace detail {

void check_arity(const Declaration& d, std::size_t arity) {
  if (d.parameters.size() != arity)
    throw std::invalid_argument("the declaration of " + d.name + " names " + std::to_string(d.parameters.size()) +
                                " parameters; the function takes " + std::to_string(arity));
}

}  // namespace detail
}  // namespace vantor::bindings
