// Windows backend of platform/file_access.h.
#include "platform/file_access.h"

#include <cstdio>
#include <memory>

#include <share.h>

namespace {
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

bool platform::CanOpenFileForReading(const char* path) {
  if (path == nullptr) return false;
  const std::unique_ptr<std::FILE, FileCloser> file(_fsopen(path, "r", _SH_DENYNO));
  return file != nullptr;
}
