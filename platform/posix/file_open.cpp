// POSIX backend of platform/file_open.h: the C library takes the path's bytes.
#include "platform/file_open.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/unique_fd.h"

// "e" opens with O_CLOEXEC: the application the updater starts again must
// not inherit its journal or probe.
std::FILE* platform::OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), (std::string(mode) + "e").c_str());
}

platform::SystemRead<std::string> platform::ReadWholeFile(const std::string& path) {
  SystemRead<std::string> read;
  const UniqueFd file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.ok()) return {{}, errno};
  char block[65536];
  for (;;) {
    const ssize_t got = ::read(file.get(), block, sizeof block);
    if (got == 0) return read;
    if (got < 0 && errno != EINTR) return {{}, errno};
    if (got > 0) read.value.append(block, static_cast<std::size_t>(got));
  }
}

bool platform::RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }
