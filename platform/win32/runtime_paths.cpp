// Windows backend of platform/runtime_paths.h.
#include "platform/runtime_paths.h"

#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/win32/wide_text.h"

namespace {

constexpr unsigned kDirectoryBit = 0x4000;
constexpr unsigned kRegularFileBit = 0x8000;
constexpr int kWriteAccess = 2;

}  // namespace

platform::PathKind platform::RuntimeStat(const std::string& path) {
  struct _stat64i32 status {};
  if (_wstat64i32(WidePath(path).c_str(), &status) != 0) return PathKind::kMissing;
  if (status.st_mode & kDirectoryBit) return PathKind::kDirectory;
  if (status.st_mode & kRegularFileBit) return PathKind::kRegularFile;
  return PathKind::kOther;
}

bool platform::RuntimeCanWrite(const std::string& path) { return _waccess(WidePath(path).c_str(), kWriteAccess) == 0; }

bool platform::RuntimeMakeDirectory(const std::string& path) { return _wmkdir(WidePath(path).c_str()) == 0; }
