// Windows backend of platform/file_identity.h.
#include "platform/file_identity.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

// Opened only to ask for its number: no access, every sharing mode, so a file
// that another program holds open can still be looked at.
bool ReadFileNumber(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  const platform::UniqueHandle file(CreateFileW(
      platform::WidePath(path).c_str(), /*dwDesiredAccess=*/0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, /*hTemplateFile=*/nullptr));
  return file.ok() && GetFileInformationByHandle(file.get(), &info) != FALSE;
}

}  // namespace

bool platform::IsSameFile(const std::string& left, const std::string& right) {
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  if (!ReadFileNumber(left, first) || !ReadFileNumber(right, second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// Wine gives every Unix file system the volume serial 0: there the file
// number alone tells installations apart.
platform::SystemRead<std::string> platform::FileIdentity(const std::string& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!ReadFileNumber(path, info)) return {{}, static_cast<int>(GetLastError())};
  char text[32];
  std::snprintf(text, sizeof text, "%lx-%lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
  return {text, 0};
}
