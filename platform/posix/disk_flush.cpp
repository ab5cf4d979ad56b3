// POSIX backend of platform/disk_flush.h.
//
// A volume is flushed whole (syncfs): a few hundred files flushed one by one
// cost a wait for the disk each, the volume one wait for all of them.
#include "platform/disk_flush.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/unique_fd.h"

bool platform::FlushFileToDisk(std::FILE* file) { return std::fflush(file) == 0 && fdatasync(fileno(file)) == 0; }

bool platform::FlushVolumeToDisk(const std::string& folder) {
  const UniqueFd held(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return held.ok() && syncfs(held.get()) == 0;
}
