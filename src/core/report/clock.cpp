#include "report/clock.hpp"

namespace vantor::report {

std::string local_time_text(std::time_t t) {
  std::tm local{};
  ::localtime_r(&t, &local);  // honours TZ as the host's own clock reading does
  char buf[64];
  const std::size_t length = std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(buf, length);
}

}  // namespace vantor::report
