// Windows backend of platform/file_access.h.
#include "platform/file_access.h"

#include <share.h>

#include "platform/file_stream.h"

bool platform::CanOpenFileForReading(const char* path) {
  if (path == nullptr) return false;
  const UniqueFile file(_fsopen(path, "r", _SH_DENYNO));
  return file != nullptr;
}
