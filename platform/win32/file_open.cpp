// Windows backend of platform/file_open.h: the C runtime's wide calls.
#include "platform/file_open.h"

#include <windows.h>

#include "platform/file_stream.h"
#include "platform/win32/wide_text.h"

// "N" makes the handle not inheritable: the application the updater starts
// again must not hold its journal or probe.
std::FILE* platform::OpenFile(const std::string& path, const char* mode) {
  return _wfopen(WidePath(path).c_str(), WideText(std::string(mode) + "N").c_str());
}

std::string platform::ReadWholeFile(const std::string& path) {
  const UniqueFile file(OpenFile(path, "rb"));
  std::string bytes;
  if (!file) return bytes;
  char block[65536];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;) bytes.append(block, got);
  return bytes;
}

bool platform::RemoveFile(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != FALSE; }
