// Owner of one POSIX file descriptor, for the POSIX backends.
#pragma once

#include <unistd.h>

namespace platform {

class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }

  /// Closes now; false when there was nothing to close or close itself failed (a late write error).
  bool Close() {
    if (fd_ < 0) return false;
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

  /// Closes what it holds and takes `fd` instead.
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }

  /// Hands the descriptor over to the caller, who must close it.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace platform
