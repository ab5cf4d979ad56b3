// POSIX backend of platform/held_archive.h: the archive copied into a file
// that has no name, and read back from the copy.
#include "platform/held_archive.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
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
/// The copy is kept in memory for archives up to this share of the machine's
/// memory (1/8), on the installation's volume beyond.
constexpr unsigned kMemoryShare = 8;

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

// In memory the copy never reaches a disk: on the installation's volume the
// install's flushes would write it out, a wait for nothing. Large archives
// go there all the same, so that the copy never crowds the machine's memory.
int OpenCopy(unsigned long long size, const std::string& installDir) {
  struct sysinfo machine {};
  const bool fits = sysinfo(&machine) == 0 &&
                    size <= static_cast<unsigned long long>(machine.totalram) * machine.mem_unit / kMemoryShare;
  const int inMemory = fits ? memfd_create("update-signed-archive", MFD_CLOEXEC) : -1;
  return inMemory >= 0 ? inMemory : OpenUnnamedCopy(installDir);
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
// check hashes what is copied, straight from the copy's pages (mapped, never
// copied again), so the run waits for the hash alone. The archive is copied
// as long as it was when opened: one that someone keeps growing still ends.
class CopiedArchive : public platform::HeldArchive {
 public:
  CopiedArchive(int source, int copy, unsigned long long size)
      : source_(source), copy_(copy), size_(size), copier_([this] { Copy(); }) {}

  ~CopiedArchive() override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    if (copier_.joinable()) copier_.join();
    Unmap();
  }

  long long next(const unsigned char*& bytes) override {
    Unmap();
    std::unique_lock<std::mutex> lock(mutex_);
    copied_more_.wait(lock, [&] { return copied_ > readAt_ || done_; });
    if (copied_ == readAt_ && error_ != 0) {
      errno = error_;
      return -1;
    }
    const std::size_t size = static_cast<std::size_t>(std::min<unsigned long long>(kCopyChunk, copied_ - readAt_));
    lock.unlock();
    if (size == 0) return 0;
    const unsigned long long start = readAt_ - readAt_ % static_cast<unsigned long long>(sysconf(_SC_PAGESIZE));
    mappedSize_ = size + static_cast<std::size_t>(readAt_ - start);
    void* mapped =
        mmap(nullptr, mappedSize_, PROT_READ, MAP_SHARED | MAP_POPULATE, copy_.get(), static_cast<off_t>(start));
    if (mapped == MAP_FAILED) return -1;
    mapped_ = mapped;
    bytes = static_cast<const unsigned char*>(mapped_) + (readAt_ - start);
    readAt_ += size;
    return static_cast<long long>(size);
  }

  bool finish() override {
    if (copier_.joinable()) copier_.join();
    errno = error_;
    return error_ == 0;
  }

  std::string readPath() const override { return "/proc/self/fd/" + std::to_string(copy_.get()); }

 private:
  void Unmap() {
    if (mapped_ != nullptr) munmap(mapped_, mappedSize_);
    mapped_ = nullptr;
  }

  // The system copies within the kernel where it can (from one file system
  // into another too, which copy_file_range refuses); where it cannot, the
  // bytes pass through a buffer.
  ssize_t CopyChunk(std::vector<unsigned char>& chunk, bool& written) {
    written = true;
    const std::size_t want = static_cast<std::size_t>(std::min<unsigned long long>(kCopyChunk, size_ - copiedHere_));
    if (want == 0) return 0;
    if (inKernel_) {
      const ssize_t got = sendfile(copy_.get(), source_.get(), nullptr, want);
      if (got >= 0 || (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)) return got;
      inKernel_ = false;
    }
    if (chunk.empty()) chunk.resize(kCopyChunk);
    const ssize_t got = ::read(source_.get(), chunk.data(), want);
    written = got <= 0 || WriteAll(copy_.get(), chunk.data(), static_cast<std::size_t>(got));
    return got;
  }

  void Copy() {
    std::vector<unsigned char> chunk;
    for (;;) {
      bool written = true;
      const ssize_t got = CopyChunk(chunk, written);
      if (got < 0 && errno == EINTR) continue;
      if (got > 0 && written) copiedHere_ += static_cast<unsigned long long>(got);
      const std::lock_guard<std::mutex> lock(mutex_);
      if (got < 0 || !written) error_ = errno != 0 ? errno : EIO;  // a write of nothing sets none
      copied_ = copiedHere_;
      done_ = got <= 0 || !written || stop_;
      copied_more_.notify_all();
      if (done_) return;
    }
  }

  platform::UniqueFd source_;
  platform::UniqueFd copy_;
  const unsigned long long size_;
  std::mutex mutex_;
  std::condition_variable copied_more_;
  unsigned long long copied_ = 0;
  unsigned long long copiedHere_ = 0;  // the copying thread's alone
  unsigned long long readAt_ = 0;      // the reading thread's alone
  void* mapped_ = nullptr;             // the reading thread's alone
  std::size_t mappedSize_ = 0;
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
  struct stat status {};
  if (!source.ok() || fstat(source.get(), &status) != 0) return nullptr;
  const auto size = static_cast<unsigned long long>(status.st_size);
  UniqueFd copy(OpenCopy(size, installDir));
  if (!copy.ok()) return nullptr;
  try {
    return std::make_unique<CopiedArchive>(source.Release(), copy.Release(), size);
  } catch (const std::system_error& error) {
    errno = error.code().value();
    return nullptr;
  }
}
