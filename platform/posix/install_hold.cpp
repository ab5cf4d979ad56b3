// POSIX backend of platform/install_hold.h: a flock on the lock file in the
// installation, opened read-write (NFS grants locks to such descriptors where
// it refuses them on a directory's read-only one) and never through a link.
// Where the file system has no locks at all (ENOLCK), the hold is a second
// file beside it, created exclusively, that names its holder: one left by a
// process of this machine that is gone, or by an earlier boot of it, is
// stale and taken over; one made on another machine stays until removed by
// hand, since this machine cannot tell whether its holder still runs.
#include "platform/install_hold.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/install_lock.h"
#include "platform/posix/unique_fd.h"

namespace {

// Who holds a marker: "<host> <boot> <process id>".
std::string HolderText() {
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  std::string boot;
  std::ifstream("/proc/sys/kernel/random/boot_id") >> boot;
  return std::string(host) + " " + boot + " " + std::to_string(getpid()) + "\n";
}

// True when the marker's text names a holder of this machine that is gone.
bool Stale(const std::string& text, const std::string& ours) {
  const std::size_t bootEnd = ours.rfind(' ');
  const std::size_t hostEnd = ours.find(' ');
  if (text.compare(0, hostEnd + 1, ours, 0, hostEnd + 1) != 0) return false;
  if (text.compare(0, bootEnd + 1, ours, 0, bootEnd + 1) != 0) return true;
  const long pid = std::atol(text.c_str() + bootEnd + 1);
  return pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// The lock file `name` of `folder`, never a link, a folder or a pipe
// (errno ELOOP, EISDIR, ...); -1 when it cannot be opened so.
int OpenLockFile(int folder, const std::string& name) {
  const int fd = openat(folder, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  struct stat status {};
  if (fd < 0 || (fstat(fd, &status) == 0 && S_ISREG(status.st_mode))) return fd;
  close(fd);
  errno = EISDIR;
  return -1;
}

class FileHold final : public platform::InstallHold {
 public:
  // Close-on-exec: the relaunched application must not inherit the hold.
  FileHold(const std::string& dstPath, const std::string& lockFileName)
      : folder_(open(dstPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
        openError_(errno),
        lockName_(lockFileName),
        markerName_(lockFileName + platform::kLockHeldSuffix) {}

  // The name goes while the hold is still taken, so that no run waiting on
  // this very file takes it for the installation's (see tryTake).
  ~FileHold() override {
    if (!taken_) return;
    unlinkat(folder_.get(), lockName_.c_str(), 0);
    if (marked_) unlinkat(folder_.get(), markerName_.c_str(), 0);
  }

  // Closing the descriptor releases the flock. A holder removes the file as
  // it lets go: one locked after that is no longer the file of its name, and
  // the name is opened again.
  platform::HoldAttempt tryTake() override {
    if (taken_) return platform::HoldAttempt::kTaken;
    if (!folder_.ok()) {
      errno = openError_;
      return platform::HoldAttempt::kRefused;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
      lock_.Reset(OpenLockFile(folder_.get(), lockName_));
      if (!lock_.ok()) return errno == ELOOP ? platform::HoldAttempt::kLinked : platform::HoldAttempt::kRefused;
      if (flock(lock_.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK || errno == EINTR) return platform::HoldAttempt::kBusy;
        return errno == ENOLCK ? TakeMarker() : platform::HoldAttempt::kRefused;
      }
      struct stat held {
      }, named{};
      if (fstat(lock_.get(), &held) == 0 &&
          fstatat(folder_.get(), lockName_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && held.st_dev == named.st_dev &&
          held.st_ino == named.st_ino) {
        taken_ = true;
        return platform::HoldAttempt::kTaken;
      }
    }
    return platform::HoldAttempt::kBusy;
  }

 private:
  platform::HoldAttempt TakeMarker() {
    const std::string holder = HolderText();
    for (int attempt = 0; attempt < 2; ++attempt) {
      platform::UniqueFd marker(
          openat(folder_.get(), markerName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
      if (marker.ok()) {
        marked_ = taken_ = write(marker.get(), holder.data(), holder.size()) == static_cast<ssize_t>(holder.size());
        if (!taken_) unlinkat(folder_.get(), markerName_.c_str(), 0);
        return taken_ ? platform::HoldAttempt::kTaken : platform::HoldAttempt::kRefused;
      }
      if (errno != EEXIST || !RemoveStaleMarker(holder)) break;
    }
    return errno == EEXIST ? platform::HoldAttempt::kBusy : platform::HoldAttempt::kRefused;
  }

  // Removes the marker when it is stale and still the one read.
  bool RemoveStaleMarker(const std::string& holder) const {
    const platform::UniqueFd marker(openat(folder_.get(), markerName_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    char text[512] = {};
    struct stat read {
    }, now{};
    if (!marker.ok() || ::read(marker.get(), text, sizeof text - 1) < 0 || fstat(marker.get(), &read) != 0 ||
        !Stale(text, holder)) {
      errno = EEXIST;
      return false;
    }
    if (fstatat(folder_.get(), markerName_.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_ino != read.st_ino ||
        unlinkat(folder_.get(), markerName_.c_str(), 0) != 0) {
      errno = EEXIST;
      return false;
    }
    return true;
  }

  platform::UniqueFd folder_;
  int openError_;
  std::string lockName_;
  std::string markerName_;
  platform::UniqueFd lock_;
  bool taken_ = false;
  bool marked_ = false;
};

}  // namespace

std::unique_ptr<platform::InstallHold> platform::InstallHold::Create(const std::string& dstPath,
                                                                     const std::string& lockFileName) {
  return std::make_unique<FileHold>(dstPath, lockFileName);
}
