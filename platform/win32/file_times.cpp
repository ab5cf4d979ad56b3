// Windows backend of platform/file_times.h.
#include "platform/file_times.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

// LocalFileTimeToFileTime applies the offset in force now, not the one at the
// stamp's date: a summer stamp converted in winter ends up an hour off.
bool platform::StampFileFromDosTime(const std::string& path, std::uint32_t dosDateTime) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, /*dwShareMode=*/0,
                                /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING,
                                /*dwFlagsAndAttributes=*/0, /*hTemplateFile=*/nullptr));
  if (!file.ok()) return false;
  FILETIME creation{}, lastAccess{}, lastWrite{};
  if (!GetFileTime(file.get(), &creation, &lastAccess, &lastWrite)) return false;
  FILETIME local{}, utc{};
  if (!DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local)) return false;
  if (!LocalFileTimeToFileTime(&local, &utc)) return false;
  return SetFileTime(file.get(), &utc, &lastAccess, &utc) != FALSE;
}
