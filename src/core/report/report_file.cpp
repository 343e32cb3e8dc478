#include "report/report_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "errors.hpp"

namespace vantor::report {
namespace {

[[noreturn]] void fail(const std::string& path, std::string other_path = {}) {
  throw FileError(errno, path, std::move(other_path));
}

bool is_directory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// A new file beside target, created exclusively with the mode open() would
// give the target itself (0666 less the umask). A name left behind by an
// earlier process with the same id is skipped.
int create_temporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0;; ++attempt) {
    name = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST || attempt == 100) fail(name);
  }
}

// 0, or the errno of the write that failed.
int write_all(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    contents.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace

void make_directories(const std::string& path) {
  // Parents first, the way os.makedirs(path, exist_ok=True) goes about it.
  const std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    const std::string parent = path.substr(0, slash);
    if (!exists(parent)) make_directories(parent);
  }
  if (::mkdir(path.c_str(), 0777) == 0) return;
  const int error = errno;
  if (error == EEXIST && is_directory(path)) return;  // made meanwhile, or there all along
  errno = error;
  fail(path);
}

void replace_file(const std::string& path, std::string_view contents) {
  std::string temporary;
  const int fd = create_temporary(path, temporary);
  int error = write_all(fd, contents);
  // Flushed to the disk before the rename, so a crash cannot leave an empty
  // report where a whole one stood.
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
    ::unlink(temporary.c_str());
    throw FileError(error, temporary, path);
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    throw FileError(error, path);
  }
}

}  // namespace vantor::report
