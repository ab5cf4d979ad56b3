// Windows backend of platform/file_open.h: the C runtime's wide calls.
#include "platform/file_open.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

// "N" makes the handle not inheritable: the application the updater starts
// again must not hold its journal or probe.
std::FILE* platform::OpenFile(const std::string& path, const char* mode) {
  return _wfopen(WidePath(path).c_str(), WideText(std::string(mode) + "N").c_str());
}

// Opened as the C runtime opens "rb": others may read and write it meanwhile.
platform::SystemRead<std::string> platform::ReadWholeFile(const std::string& path) {
  SystemRead<std::string> read;
  const UniqueHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      /*hTemplateFile=*/nullptr));
  if (!file.ok()) return {{}, static_cast<int>(GetLastError())};
  char block[65536];
  for (DWORD got = 0;; read.value.append(block, got)) {
    if (!ReadFile(file.get(), block, sizeof block, &got, /*lpOverlapped=*/nullptr)) {
      return {{}, static_cast<int>(GetLastError())};
    }
    if (got == 0) return read;
  }
}

bool platform::RemoveFile(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != FALSE; }
