// POSIX backend of platform/held_archive.h: the archive copied into a file of
// the installation's folder that has no name, and read back from the copy.
#include "platform/held_archive.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace {

constexpr std::size_t kCopyChunk = 1 << 20;

// A file without a name cannot be opened by another process (but through
// this one's descriptors, which only its own user or root may reach). Where
// the file system has no such files, a named one is made, readable and
// writable by the owner only, and unlinked at once.
int OpenUnnamedCopy(const std::string& installDir) {
  const int fd = open(installDir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  std::string name = installDir + "/.update-signed-archive-XXXXXX";
  const int named = mkostemp(name.data(), O_CLOEXEC);
  if (named >= 0 && unlink(name.c_str()) != 0) {
    const int error = errno;
    close(named);
    errno = error;
    return -1;
  }
  return named;
}

bool WriteAll(int fd, const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// The check reads the copy, never the archive: what it checks is what the
// extraction will read. The copy is made on a thread of its own while the
// check reads what is copied, so the run waits for the slower of the two
// (the hash), not for both.
class CopiedArchive : public platform::HeldArchive {
 public:
  CopiedArchive(int source, int copy) : source_(source), copy_(copy), copier_([this] { Copy(); }) {}

  ~CopiedArchive() override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    if (copier_.joinable()) copier_.join();
  }

  long long read(unsigned char* buffer, std::size_t size) override {
    std::unique_lock<std::mutex> lock(mutex_);
    copied_more_.wait(lock, [&] { return copied_ > readAt_ || done_; });
    if (copied_ == readAt_ && error_ != 0) {
      errno = error_;
      return -1;
    }
    const std::size_t ask = static_cast<std::size_t>(std::min<unsigned long long>(size, copied_ - readAt_));
    lock.unlock();
    if (ask == 0) return 0;
    const ssize_t got = pread(copy_.get(), buffer, ask, static_cast<off_t>(readAt_));
    if (got > 0) readAt_ += static_cast<unsigned long long>(got);
    return got;
  }

  bool finish() override {
    if (copier_.joinable()) copier_.join();
    errno = error_;
    return error_ == 0;
  }

  std::string readPath() const override { return "/proc/self/fd/" + std::to_string(copy_.get()); }

 private:
  // The system copies within the kernel where it can; across some file
  // systems, or before Linux 4.5, the bytes pass through a buffer instead.
  ssize_t CopyChunk(std::vector<unsigned char>& chunk, bool& written) {
    written = true;
    if (inKernel_) {
      const ssize_t got = copy_file_range(source_.get(), nullptr, copy_.get(), nullptr, kCopyChunk, 0);
      if (got >= 0 || (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)) return got;
      inKernel_ = false;
    }
    if (chunk.empty()) chunk.resize(kCopyChunk);
    const ssize_t got = ::read(source_.get(), chunk.data(), chunk.size());
    written = got <= 0 || WriteAll(copy_.get(), chunk.data(), static_cast<std::size_t>(got));
    return got;
  }

  void Copy() {
    std::vector<unsigned char> chunk;
    for (;;) {
      bool written = true;
      const ssize_t got = CopyChunk(chunk, written);
      if (got < 0 && errno == EINTR) continue;
      const std::lock_guard<std::mutex> lock(mutex_);
      if (got < 0 || !written) error_ = errno != 0 ? errno : EIO;  // a write of nothing sets none
      if (got > 0 && written) copied_ += static_cast<unsigned long long>(got);
      done_ = got <= 0 || !written || stop_;
      copied_more_.notify_all();
      if (done_) return;
    }
  }

  platform::UniqueFd source_;
  platform::UniqueFd copy_;
  std::mutex mutex_;
  std::condition_variable copied_more_;
  unsigned long long copied_ = 0;
  unsigned long long readAt_ = 0;  // the reading thread's alone
  int error_ = 0;
  bool done_ = false;
  bool stop_ = false;
  bool inKernel_ = true;  // the copying thread's alone
  std::thread copier_;    // last: starts when everything it uses is there
};

}  // namespace

std::unique_ptr<platform::HeldArchive> platform::HoldArchive(const std::string& archivePath,
                                                             const std::string& installDir) {
  UniqueFd source(open(archivePath.c_str(), O_RDONLY | O_CLOEXEC));
  if (!source.ok()) return nullptr;
  UniqueFd copy(OpenUnnamedCopy(installDir));
  if (!copy.ok()) return nullptr;
  try {
    return std::make_unique<CopiedArchive>(source.Release(), copy.Release());
  } catch (const std::system_error& error) {
    errno = error.code().value();
    return nullptr;
  }
}
