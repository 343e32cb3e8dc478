// Console lines, written to sys.stdout as it is at the time of the call, so
// that redirection and capture see every line in order with the host's own
// prints.
#pragma once

#include <string>

namespace vantor::bindings {

// One line with its line break, in one write. Like print(), nothing is
// written when sys.stdout is None.
void print_line(std::string line);

}  // namespace vantor::bindings
