#include "files/atomic_write.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "errors.hpp"

namespace vantor::files {
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

// A new file named prefix + a serial, created exclusively with the mode
// open() would give the target itself (0666 less the umask). A name left
// behind by an earlier process with the same id is skipped.
int create_temporary(const std::string& prefix, std::string& name) {
  static std::atomic<unsigned> serial{0};
  for (int attempt = 0;; ++attempt) {
    name = prefix + std::to_string(::getpid()) + "-" + std::to_string(serial++);
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

// The complete contents in a new temporary file (prefix + serial), flushed
// to the disk, so that a crash after it takes its name cannot leave an empty
// file there. Nothing is left behind when this throws; a failed write names
// `target`, the file the caller asked for.
std::string write_temporary(const std::string& prefix, std::string_view contents, const std::string& target) {
  std::string temporary;
  const int fd = create_temporary(prefix, temporary);
  int error = write_all(fd, contents);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    throw FileError(error, target);
  }
  return temporary;
}

// Removes the temporary file and throws the error of the call that failed.
[[noreturn]] void discard(const std::string& temporary, int error, const std::string& path,
                          const std::string& other_path = {}) {
  ::unlink(temporary.c_str());
  throw FileError(error, path, other_path);
}

// Gives the temporary file the name path unless a file has it: true when
// claimed, false when the name is taken. Throws FileError for any other failure.
bool claim(const std::string& temporary, const std::string& path) {
  if (::link(temporary.c_str(), path.c_str()) == 0) {
    ::unlink(temporary.c_str());
    return true;
  }
  if (errno == EEXIST) return false;
  // No hard links here: the name is claimed by creating it, then the file moves over it.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    discard(temporary, errno, path);
  }
  ::close(fd);
  if (::rename(temporary.c_str(), path.c_str()) != 0) discard(temporary, errno, temporary, path);
  return true;
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
  const std::string temporary = write_temporary(path + ".tmp-", contents, path);
  if (::rename(temporary.c_str(), path.c_str()) != 0) discard(temporary, errno, temporary, path);
}

std::string joined(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && !path.ends_with('/')) path += '/';
  return path.append(name);
}

std::string numbered(std::string_view name, int number) {
  if (number == 1) return std::string(name);
  const std::size_t dot = name.rfind('.');
  const std::size_t stem = dot == std::string_view::npos ? name.size() : dot;
  return std::string(name.substr(0, stem)) + "-" + std::to_string(number) + std::string(name.substr(stem));
}

std::string write_new_file(const std::string& directory, std::string_view name, std::string_view contents) {
  const std::string first = joined(directory, name);
  const std::string temporary = write_temporary(joined(directory, "." + std::string(name) + ".tmp-"), contents, first);
  for (int number = 1;; ++number) {
    std::string path = joined(directory, numbered(name, number));
    if (claim(temporary, path)) return path;
  }
}

}  // namespace vantor::files
