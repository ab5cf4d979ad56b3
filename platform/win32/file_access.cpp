// Windows backend of platform/file_access.h.
#include "platform/file_access.h"

#include <share.h>

#include "platform/file_stream.h"
#include "platform/win32/wide_text.h"

bool platform::CanOpenFileForReading(const char* path) {
  if (path == nullptr) return false;
  const UniqueFile file(_wfsopen(WidePath(path).c_str(), L"r", _SH_DENYNO));
  return file != nullptr;
}
