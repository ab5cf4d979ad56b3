// POSIX backend of platform/held_archive.h: the archive copied, as it is
// read, into a file of the installation's folder that has no name.
#include "platform/held_archive.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/unique_fd.h"

namespace {

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

class CopiedArchive : public platform::HeldArchive {
 public:
  CopiedArchive(int source, int copy) : source_(source), copy_(copy) {}

  long long read(unsigned char* buffer, std::size_t size) override {
    ssize_t got;
    do {
      got = ::read(source_.get(), buffer, size);
    } while (got < 0 && errno == EINTR);
    if (got > 0 && !WriteAll(copy_.get(), buffer, static_cast<std::size_t>(got))) return -1;
    return got;
  }

  // The copy stays open, and so reachable by its path, until the run ends.
  bool finish() override {
    source_.Close();
    return lseek(copy_.get(), 0, SEEK_SET) == 0;
  }

  std::string readPath() const override { return "/proc/self/fd/" + std::to_string(copy_.get()); }

 private:
  platform::UniqueFd source_;
  platform::UniqueFd copy_;
};

}  // namespace

std::unique_ptr<platform::HeldArchive> platform::HoldArchive(const std::string& archivePath,
                                                             const std::string& installDir) {
  UniqueFd source(open(archivePath.c_str(), O_RDONLY | O_CLOEXEC));
  if (!source.ok()) return nullptr;
  UniqueFd copy(OpenUnnamedCopy(installDir));
  if (!copy.ok()) return nullptr;
  return std::make_unique<CopiedArchive>(source.Release(), copy.Release());
}
