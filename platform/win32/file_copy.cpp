// Windows backend of platform/file_copy.h.
#include "platform/file_copy.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/win32/final_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

// The copy is made anew beside the target under a short name of the run's
// own, checked by its handle to be that very file, flushed (a volume cannot
// be flushed whole here, see disk_flush.h) and renamed over the target, as
// the Linux copy is: a link standing at the target is replaced, never
// written through, and a run cut off meanwhile never leaves the target torn.
bool platform::CopyFileReplacing(const std::string& source, const std::string& target) {
  const std::size_t slash = target.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
  const std::string name = StagedCopyName();
  const std::wstring staged = WidePath(folder + kPathSeparator + name);
  if (CopyFileW(WidePath(source).c_str(), staged.c_str(), /*bFailIfExists=*/TRUE) == FALSE) return false;
  bool own = false;
  bool placed = false;
  {
    const UniqueHandle copy(CreateFileW(staged.c_str(), GENERIC_WRITE, /*dwShareMode=*/0,
                                        /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, kOwnEntryFlags,
                                        /*hTemplateFile=*/nullptr));
    own = copy.ok() && IsEntryOf(copy.get(), FinalPathOfFolder(folder), name);
    placed = own && FlushFileBuffers(copy.get()) != FALSE;
  }
  placed = placed && MoveFileExW(staged.c_str(), WidePath(target).c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!placed) {
    const DWORD error = GetLastError();
    // What stands at the staged name now is removed only when it is the
    // copy: Wine's DeleteFileW removes what a link there leads to.
    if (own) DeleteFileW(staged.c_str());
    SetLastError(error);
  }
  return placed;
}
