// POSIX backend of platform/file_copy.h.
//
// The copy is written to a temporary file and renamed over the target: a
// running program keeps its old inode, so it is never torn and the copy
// cannot fail with ETXTBSY, and a crash mid-copy leaves the old target whole.
// The temporary goes beside the source (the updater's work directory, which
// the next run clears) and, where that is not writable or the rename would
// cross file systems, beside the target.
//
// A link is copied as a link that leads where it leads: what it names is not
// copied, so a library chain such as libfoo.so -> libfoo.so.1 stays a chain.
#include "platform/file_copy.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/unique_fd.h"

namespace {

using platform::UniqueFd;

// Removes the temporary file unless it was renamed into place; keeps errno.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  ~TempFile() {
    if (path_.empty()) return;
    const int saved = errno;
    unlink(path_.c_str());
    errno = saved;
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  std::string path_;
};

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool CopyThroughMemory(int from, int to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = read(from, buffer.data(), buffer.size());
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += put;
    }
  }
}

bool CannotCopyInKernel(int error) {
  return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == EBADF;
}

// A reflink shares the source's blocks where the file system can (Btrfs,
// XFS); copy_file_range copies inside the kernel, without two passes through
// this process's memory. Where neither is offered the bytes go through memory,
// from wherever the kernel's copy stopped.
bool CopyContents(int from, int to) {
  if (ioctl(to, FICLONE, from) == 0) return true;
  constexpr std::size_t kLargestStep = 1u << 30;
  for (;;) {
    const ssize_t copied = copy_file_range(from, nullptr, to, nullptr, kLargestStep, /*flags=*/0);
    if (copied == 0) return true;
    if (copied > 0) continue;
    if (errno == EINTR) continue;
    return CannotCopyInKernel(errno) && CopyThroughMemory(from, to);
  }
}

// The copy keeps the source's time stamps, as the Windows copy does.
bool KeepTimes(int fd, const struct stat& status) {
  const timespec times[2] = {status.st_atim, status.st_mtim};
  return futimens(fd, times) == 0;
}

enum class Attempt { kDone, kFailed, kTryBesideTarget };

Attempt RenameIntoPlace(TempFile& temp, const std::string& target) {
  if (rename(temp.path().c_str(), target.c_str()) != 0) {
    return errno == EXDEV ? Attempt::kTryBesideTarget : Attempt::kFailed;
  }
  temp.Release();
  return Attempt::kDone;
}

// One attempt with the temporary file in `stagingDir`.
Attempt CopyVia(const std::string& stagingDir, int source, const struct stat& status, const std::string& target) {
  std::string pattern = stagingDir + "/" + platform::CopyPrefixOf(platform::CopyToken()) + "XXXXXX";
  UniqueFd out(mkostemp(pattern.data(), O_CLOEXEC));
  if (!out.ok()) return Attempt::kTryBesideTarget;
  TempFile temp(pattern);
  if (lseek(source, 0, SEEK_SET) < 0 || !CopyContents(source, out.get()) ||
      fchmod(out.get(), status.st_mode & 07777) != 0 || !KeepTimes(out.get(), status) || fsync(out.get()) != 0 ||
      !out.Close()) {
    return Attempt::kFailed;
  }
  return RenameIntoPlace(temp, target);
}

// One attempt with the link staged in `stagingDir`, under a name that
// mkostemp reserved.
Attempt CopyLinkVia(const std::string& stagingDir, const std::string& leadsTo, const std::string& target) {
  std::string pattern = stagingDir + "/" + platform::CopyPrefixOf(platform::CopyToken()) + "XXXXXX";
  UniqueFd reserved(mkostemp(pattern.data(), O_CLOEXEC));
  if (!reserved.ok()) return Attempt::kTryBesideTarget;
  TempFile temp(pattern);
  if (unlink(pattern.c_str()) != 0 || symlink(leadsTo.c_str(), pattern.c_str()) != 0) return Attempt::kFailed;
  return RenameIntoPlace(temp, target);
}

// Staged beside the source first, beside the target where that cannot be.
template <typename AttemptIn>
bool StageAndRename(const std::string& source, const std::string& target, AttemptIn attempt) {
  Attempt result = attempt(DirectoryOf(source));
  if (result == Attempt::kTryBesideTarget) result = attempt(DirectoryOf(target));
  return result == Attempt::kDone;
}

// What the link `path` leads to; false when `path` is no link.
bool ReadLink(const std::string& path, std::string* leadsTo) {
  std::vector<char> buffer(PATH_MAX + 1);
  const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
  if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) return false;
  leadsTo->assign(buffer.data(), static_cast<std::size_t>(length));
  return true;
}

}  // namespace

bool platform::CopyFileReplacing(const std::string& source, const std::string& target) {
  std::string leadsTo;
  if (ReadLink(source, &leadsTo)) {
    return StageAndRename(source, target, [&](const std::string& dir) { return CopyLinkVia(dir, leadsTo, target); });
  }
  UniqueFd in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return false;
  struct stat status {};
  if (fstat(in.get(), &status) != 0) return false;
  if (S_ISDIR(status.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return StageAndRename(source, target, [&](const std::string& dir) { return CopyVia(dir, in.get(), status, target); });
}
