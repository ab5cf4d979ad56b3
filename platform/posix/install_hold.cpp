// POSIX backend of platform/install_hold.h: flock on the installation
// directory's own descriptor, so no lock file can be cleared or forged, and
// every path that reaches the directory meets the same lock.
#include "platform/install_hold.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>

#include "platform/posix/unique_fd.h"

namespace {

class DirectoryHold final : public platform::InstallHold {
 public:
  // Close-on-exec: the relaunched application must not inherit the hold.
  explicit DirectoryHold(const std::string& dstPath)
      : directory_(open(dstPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

  // Closing the descriptor releases the flock.
  platform::HoldAttempt tryTake() override {
    if (taken_) return platform::HoldAttempt::kTaken;
    if (!directory_.ok()) return platform::HoldAttempt::kRefused;
    if (flock(directory_.get(), LOCK_EX | LOCK_NB) == 0) {
      taken_ = true;
      return platform::HoldAttempt::kTaken;
    }
    return errno == EWOULDBLOCK || errno == EINTR ? platform::HoldAttempt::kBusy : platform::HoldAttempt::kRefused;
  }

 private:
  platform::UniqueFd directory_;
  bool taken_ = false;
};

}  // namespace

std::unique_ptr<platform::InstallHold> platform::InstallHold::Create(const std::string& dstPath, const std::string&) {
  return std::make_unique<DirectoryHold>(dstPath);
}
