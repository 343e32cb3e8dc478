// The run's start time as the reports show it.
#pragma once

#include <ctime>
#include <string>

namespace vantor::report {

// The local wall-clock time of t, "%Y-%m-%d %H:%M:%S" (2024-05-01 09:03:07).
std::string local_time_text(std::time_t t);

inline std::string local_time_now() { return local_time_text(std::time(nullptr)); }

}  // namespace vantor::report
