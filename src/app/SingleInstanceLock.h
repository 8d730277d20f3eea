// Keeps a second copy of the program from running: an flock()ed file, held for the whole run.
#pragma once

#include <filesystem>
#include <string>

namespace quillon {

class SingleInstanceLock {
 public:
  static constexpr char kName[] = "RunOnlyOneDownloadUtility";

  // Tries to take the lock file `name` in `directory`.
  SingleInstanceLock(const std::filesystem::path& directory, const std::string& name = kName);
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // False when another copy holds the lock, or the file could not be opened.
  bool Acquired() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// $XDG_RUNTIME_DIR when it is set and not empty, else the temporary directory.
std::filesystem::path LockDirectory(const char* xdg_runtime_dir);

}  // namespace quillon
