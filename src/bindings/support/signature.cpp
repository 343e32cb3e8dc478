#include "support/signature.hpp"

#include "support/arguments.hpp"

namespace vantor::bindings {
namespace {

[[noreturn]] void raise(const std::string& message) { throw nb::type_error(message.c_str()); }

std::string quoted_names(const std::vector<std::string>& names) {
  // 'a' / 'a' and 'b' / 'a', 'b', and 'c': Python's own way of listing them.
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += names.size() == 2 ? " and " : (i + 1 == names.size() ? ", and " : ", ");
    out += "'" + names[i] + "'";
  }
  return out;
}

}  // namespace

void raise_argument_mismatch(const Signature& sig, const nb::args& args, const nb::kwargs& kwargs) {
  const std::string prefix = sig.name + "() ";
  const std::size_t given = args.size();
  std::vector<bool> bound(sig.parameters.size(), false);
  for (std::size_t i = 0; i < given && i < bound.size(); ++i) bound[i] = true;

  // Keywords first, as the interpreter checks them before counting positionals.
  for (auto [key, value] : kwargs) {
    const std::string keyword(Utf8(key).view());
    std::size_t index = 0;
    while (index < sig.parameters.size() && sig.parameters[index] != keyword) ++index;
    if (index == sig.parameters.size()) raise(prefix + "got an unexpected keyword argument '" + keyword + "'");
    if (bound[index]) raise(prefix + "got multiple values for argument '" + keyword + "'");
    bound[index] = true;
  }

  const std::size_t self = sig.method ? 1 : 0;
  if (given > sig.parameters.size()) {
    const std::size_t most = sig.parameters.size() + self;
    const std::size_t least = sig.required + self;
    std::string takes =
        least == most ? std::to_string(most) : "from " + std::to_string(least) + " to " + std::to_string(most);
    takes += most == 1 && least == most ? " positional argument" : " positional arguments";
    const std::size_t total = given + self;
    raise(prefix + "takes " + takes + " but " + std::to_string(total) + (total == 1 ? " was" : " were") + " given");
  }

  std::vector<std::string> missing;
  for (std::size_t i = 0; i < sig.required; ++i)
    if (!bound[i]) missing.push_back(sig.parameters[i]);
  if (!missing.empty()) {
    const char* noun = missing.size() == 1 ? " required positional argument: " : " required positional arguments: ";
    raise(prefix + "missing " + std::to_string(missing.size()) + noun + quoted_names(missing));
  }
  // Every argument fits: the real overload refused the call for another reason.
  raise(prefix + "could not take these arguments");
}

void add_mismatch_function(nb::module_& module, Signature signature) {
  const std::string name = signature.name;
  module.def(
      name.c_str(),
      [signature = std::move(signature)](nb::args args, nb::kwargs kwargs) {
        raise_argument_mismatch(signature, args, kwargs);
      },
      nb::sig(("def " + name + "(*args, **kwargs) -> None").c_str()));
}

}  // namespace vantor::bindings
