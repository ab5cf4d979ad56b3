// Windows backend of platform/install_hold.h: a file in the installation
// folder, opened without sharing. It names the folder itself, not a spelling
// of its path: drive aliases, "\\?\", 8.3 names, a local share's UNC path and
// every case meet the same file, for every session and user (measured under
// Wine too), where a named mutex keyed on the path's text did not.
#include "platform/install_hold.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

class FileHold final : public platform::InstallHold {
 public:
  explicit FileHold(const std::string& lockPath) : lockPath_(platform::WidePath(lockPath)) {}

  // Deleted when its handle closes, a killed holder's included (the system
  // closes what a dead process held), so no lock file outlives its run.
  // DELETE access is what that flag asks for; the handle is not inherited
  // by the application the run starts.
  platform::HoldAttempt tryTake() override {
    if (file_.ok()) return platform::HoldAttempt::kTaken;
    *file_.out() = CreateFileW(lockPath_.c_str(), DELETE | GENERIC_READ, /*dwShareMode=*/0,
                               /*lpSecurityAttributes=*/nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, /*hTemplateFile=*/nullptr);
    if (file_.ok()) return platform::HoldAttempt::kTaken;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return platform::HoldAttempt::kBusy;
    // A holder's file that another program (a scanner, say) still had open
    // when the holder closed it lingers, pending its deletion, and refuses
    // every open for a moment: it is still taken.
    const DWORD attributes = GetFileAttributesW(lockPath_.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      return platform::HoldAttempt::kBusy;
    }
    SetLastError(error);
    return platform::HoldAttempt::kRefused;
  }

 private:
  std::wstring lockPath_;
  platform::UniqueHandle file_;
};

}  // namespace

std::unique_ptr<platform::InstallHold> platform::InstallHold::Create(const std::string& dstPath,
                                                                     const std::string& lockFileName) {
  return std::make_unique<FileHold>(dstPath + "\\" + lockFileName);
}
