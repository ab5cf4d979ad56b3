// Owner of one open directory stream, for the POSIX backends.
#pragma once

#include <dirent.h>

#include <string>

namespace platform {

class UniqueDir {
 public:
  /// Opens `path` for listing; get() is null when it could not be opened.
  explicit UniqueDir(const std::string& path) : dir_(opendir(path.c_str())) {}
  ~UniqueDir() {
    if (dir_ != nullptr) closedir(dir_);
  }
  UniqueDir(const UniqueDir&) = delete;
  UniqueDir& operator=(const UniqueDir&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

}  // namespace platform
