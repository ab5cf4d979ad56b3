// Windows backend of platform/file_times.h.
#include "platform/file_times.h"

#include <windows.h>

// LocalFileTimeToFileTime applies the offset in force now, not the one at the
// stamp's date: a summer stamp converted in winter ends up an hour off.
// The stamp goes through the handle the file was written with: reopening it
// to stamp costs an open and a close per file, each a round trip to the Wine
// server. A null last-access time leaves it as it is.
bool platform::StampFileFromDosTime(ExtractedFile& file, std::uint32_t dosDateTime) {
  FILETIME local{}, utc{};
  if (!DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local)) return false;
  if (!LocalFileTimeToFileTime(&local, &utc)) return false;
  return SetFileTime(reinterpret_cast<HANDLE>(file.NativeHandle()), &utc,
                     /*lpLastAccessTime=*/nullptr, &utc) != FALSE;
}
