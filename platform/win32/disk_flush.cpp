// Windows backend of platform/disk_flush.h.
//
// A volume's own handle can be flushed only by an administrator, so the
// install flushes what it writes: each extracted or copied file as it is
// closed, each move written through, and here the folder's entries.
#include "platform/disk_flush.h"

#include <windows.h>
#include <io.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

bool platform::FlushFileToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != FALSE;
}

bool platform::FlushFoldersToDisk(const std::vector<std::string>& folders, std::string& unflushed) {
  for (const std::string& folder : folders) {
    const UniqueHandle held(CreateFileW(WidePath(folder).c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        /*hTemplateFile=*/nullptr));
    if (!held.ok() || FlushFileBuffers(held.get()) == FALSE) {
      unflushed = folder;
      return false;
    }
  }
  return true;
}
