// The role rules' candidates read from the scanner's descriptors and the
// page facts keyed by their XPaths, texts folded as the rules compare them.
#pragma once

#include <nanobind/nanobind.h>

#include <string>
#include <vector>

#include "roles/candidate.hpp"
#include "support/descriptor_list.hpp"

namespace vantor::bindings {

// A caller's str as the rules compare it: Unicode compatibility forms folded
// (NFKC) by the host's own Unicode database; "" for anything but a str.
std::string compat_text(PyObject* value);

// Appends a candidate per descriptor of `list`; facts_by_xpath may be null.
void read_candidates(DescriptorDicts& list, roles::List which, PyObject* facts_by_xpath,
                     std::vector<roles::Candidate>& out);

}  // namespace vantor::bindings
