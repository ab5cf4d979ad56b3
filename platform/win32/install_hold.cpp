// Windows backend of platform/install_hold.h: a file in the installation
// folder, opened without sharing. It names the folder itself, not a spelling
// of its path: drive aliases, "\\?\", 8.3 names, a local share's UNC path and
// every case meet the same file, for every session and user (measured under
// Wine too), where a named mutex keyed on the path's text did not.
#include "platform/install_hold.h"

#include <string>

#include <windows.h>

#include "platform/win32/final_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

class FileHold final : public platform::InstallHold {
 public:
  FileHold(const std::string& folder, const std::string& lockFileName)
      : folder_(folder), name_(lockFileName), lockPath_(platform::WidePath(folder + "\\" + lockFileName)) {}

  // Made by this run (CREATE_NEW) and deleted when its handle closes, a
  // killed holder's included (the system closes what a dead process held),
  // so no lock file outlives its run. It is marked so only once it is known
  // to be the folder's own file, so that a link planted at its name costs
  // nothing. DELETE access is what that mark asks for; the handle is not
  // inherited by the application the run starts.
  platform::HoldAttempt tryTake() override {
    if (file_.ok()) return platform::HoldAttempt::kTaken;
    for (int attempt = 0; attempt < 2; ++attempt) {
      platform::UniqueHandle file(CreateFileW(lockPath_.c_str(), DELETE | GENERIC_READ, /*dwShareMode=*/0,
                                              /*lpSecurityAttributes=*/nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT,
                                              /*hTemplateFile=*/nullptr));
      if (file.ok()) return Take(file);
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return Failed(error);
      const platform::HoldAttempt left = RemoveLeftFile();
      if (left != platform::HoldAttempt::kTaken) return left;
    }
    return platform::HoldAttempt::kBusy;
  }

 private:
  platform::HoldAttempt Take(platform::UniqueHandle& file) {
    if (!IsOwnFile(file.get())) return Linked();
    if (!MarkForDeletion(file.get())) return platform::HoldAttempt::kRefused;
    *file_.out() = file.release();
    return platform::HoldAttempt::kTaken;
  }

  static bool MarkForDeletion(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
  }

  static platform::HoldAttempt Linked() {
    SetLastError(ERROR_CANT_ACCESS_FILE);
    return platform::HoldAttempt::kLinked;
  }

  // Something stands at the lock file's name: another run's file, held
  // without sharing, is busy; a file of the folder's own that nobody holds
  // (a copy, an earlier version's) goes, so that the next try makes the
  // run's own (kTaken: try again, also when it went meanwhile); a link of
  // any kind is never touched.
  platform::HoldAttempt RemoveLeftFile() {
    platform::UniqueHandle file(CreateFileW(lockPath_.c_str(), DELETE | GENERIC_READ, /*dwShareMode=*/0,
                                            /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING,
                                            FILE_FLAG_OPEN_REPARSE_POINT, /*hTemplateFile=*/nullptr));
    // Gone since, as the holder let go: the next try may make it.
    if (!file.ok() && GetLastError() == ERROR_FILE_NOT_FOUND) return platform::HoldAttempt::kTaken;
    if (!file.ok()) return Failed(GetLastError());
    if (!IsOwnFile(file.get())) return Linked();
    return MarkForDeletion(file.get()) ? platform::HoldAttempt::kTaken : platform::HoldAttempt::kRefused;
  }

  platform::HoldAttempt Failed(DWORD error) const {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return platform::HoldAttempt::kBusy;
    // A holder's file that another program (a scanner, say) still had open
    // when the holder closed it lingers, pending its deletion, and refuses
    // every open for a moment: it is still taken.
    const DWORD attributes = GetFileAttributesW(lockPath_.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
      return platform::HoldAttempt::kBusy;
    }
    SetLastError(error);
    return platform::HoldAttempt::kRefused;
  }

  // A file, no link of any kind, and the folder's own entry.
  bool IsOwnFile(HANDLE file) const {
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileInformationByHandle(file, &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           platform::IsEntryOf(file, platform::FinalPathOfFolder(folder_), name_);
  }

  std::string folder_;
  std::string name_;
  std::wstring lockPath_;
  platform::UniqueHandle file_;
};

}  // namespace

std::unique_ptr<platform::InstallHold> platform::InstallHold::Create(const std::string& dstPath,
                                                                     const std::string& lockFileName) {
  return std::make_unique<FileHold>(dstPath, lockFileName);
}
