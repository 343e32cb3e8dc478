#pragma once

namespace vantor::bindings {

// Lets the core's ValueError, KeyError and TypeError reach Python as the
// built-in exceptions of the same names, and its FileError as OSError. Call once when a module loads.
void register_core_errors();

}  // namespace vantor::bindings
