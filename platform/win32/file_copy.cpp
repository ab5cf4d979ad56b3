// Windows backend of platform/file_copy.h.
#include "platform/file_copy.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/win32/final_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

// Windows refuses to replace a file that another program holds with "access
// denied"; an open of that file tells the sharing violation behind it, the
// code a copy straight onto the file gave.
DWORD ReplaceRefusal(const std::wstring& target) {
  const DWORD error = GetLastError();
  if (error != ERROR_ACCESS_DENIED) return error;
  const platform::UniqueHandle held(CreateFileW(
      target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, platform::kOwnEntryFlags, /*hTemplateFile=*/nullptr));
  return !held.ok() && GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : error;
}

}  // namespace

// The copy is made anew beside the target under a short name of the run's
// own, checked by its handle to be that very file, flushed (a volume cannot
// be flushed whole here, see disk_flush.h) and renamed over the target, as
// the Linux copy is: a link standing at the target is replaced, never
// written through, and a run cut off meanwhile never leaves the target torn.
bool platform::CopyFileReplacing(const std::string& source, const std::string& target) {
  const std::size_t slash = target.find_last_of("\\/");
  const std::string folderPath = slash == std::string::npos ? "." : target.substr(0, slash);
  const FolderHandle folder = FolderHandle::Open(folderPath);
  const std::string name = StagedCopyName();
  const std::wstring staged = WidePath(folder.PathOf(name));
  bool copied = CopyFileW(WidePath(source).c_str(), staged.c_str(), /*bFailIfExists=*/TRUE) != FALSE;
  if (copied) {
    const UniqueHandle copy(CreateFileW(staged.c_str(), GENERIC_WRITE, /*dwShareMode=*/0,
                                        /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, kOwnEntryFlags,
                                        /*hTemplateFile=*/nullptr));
    copied = copy.ok() && IsEntryOf(copy.get(), FinalPathOfFolder(folderPath), name) &&
             FlushFileBuffers(copy.get()) != FALSE;
  }
  if (copied && MoveFileExW(staged.c_str(), WidePath(target).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE) {
    return true;
  }
  const DWORD error = copied ? ReplaceRefusal(WidePath(target)) : GetLastError();
  // A copy cut short (a full disk) is removed: by its handle, and only when
  // the name is still the folder's own file, not what someone put there.
  if (error != ERROR_FILE_EXISTS) folder.Remove(name, /*folder=*/false);
  SetLastError(error);
  return false;
}
