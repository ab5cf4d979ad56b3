// POSIX backend of platform/disk_flush.h.
//
// A volume is flushed whole (syncfs): a few hundred files flushed one by one
// cost a wait for the disk each, the volume one wait for all of them. The
// work folder and the installation mostly share a volume; a second syncfs
// of it would wait for the disk again for nothing.
#include "platform/disk_flush.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/unique_fd.h"

bool platform::FlushFileToDisk(std::FILE* file) { return std::fflush(file) == 0 && fdatasync(fileno(file)) == 0; }

bool platform::FlushFoldersToDisk(const std::vector<std::string>& folders, std::string& unflushed) {
  std::vector<dev_t> flushed;
  for (const std::string& folder : folders) {
    const UniqueFd held(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    if (!held.ok() || fstat(held.get(), &status) != 0) {
      unflushed = folder;
      return false;
    }
    if (std::find(flushed.begin(), flushed.end(), status.st_dev) != flushed.end()) continue;
    if (syncfs(held.get()) != 0) {
      unflushed = folder;
      return false;
    }
    flushed.push_back(status.st_dev);
  }
  return true;
}
