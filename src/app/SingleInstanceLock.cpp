#include "app/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quillon {

SingleInstanceLock::SingleInstanceLock(const std::filesystem::path& directory,
                                       const std::string& name) {
  // Read-only is enough for flock(), and lets a file left by another user still serve.
  const int fd = ::open((directory / name).c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return;
  }
  fd_ = fd;
}

SingleInstanceLock::~SingleInstanceLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

std::filesystem::path LockDirectory(const char* xdg_runtime_dir) {
  if (xdg_runtime_dir && *xdg_runtime_dir) return xdg_runtime_dir;
  std::error_code error;
  std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path("/tmp") : temp;
}

}  // namespace quillon
