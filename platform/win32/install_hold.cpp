// Windows backend of platform/install_hold.h: a file in the installation
// folder, opened without sharing. It names the folder itself, not a spelling
// of its path: drive aliases, "\\?\", 8.3 names, a local share's UNC path and
// every case meet the same file, for every session and user (measured under
// Wine too), where a named mutex keyed on the path's text did not.
#include "platform/install_hold.h"

#include <string>

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

// The path the system resolved for `handle`, links followed; empty when it cannot tell.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), 0);
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    path.resize(length + 1);
  }
  return {};
}

class FileHold final : public platform::InstallHold {
 public:
  FileHold(const std::string& folder, const std::string& lockFileName)
      : folder_(platform::WidePath(folder)),
        name_(platform::WidePath(lockFileName)),
        lockPath_(platform::WidePath(folder + "\\" + lockFileName)) {}

  // Deleted when its handle closes, a killed holder's included (the system
  // closes what a dead process held), so no lock file outlives its run; it
  // is marked so only once it is known to be the folder's own file, so
  // that a link planted at its name costs nothing. DELETE access is what
  // that mark asks for; the handle is not inherited by the application the
  // run starts.
  platform::HoldAttempt tryTake() override {
    if (file_.ok()) return platform::HoldAttempt::kTaken;
    platform::UniqueHandle file(CreateFileW(lockPath_.c_str(), DELETE | GENERIC_READ, /*dwShareMode=*/0,
                                            /*lpSecurityAttributes=*/nullptr, OPEN_ALWAYS,
                                            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT,
                                            /*hTemplateFile=*/nullptr));
    if (!file.ok()) return Failed(GetLastError());
    if (!IsOwnFile(file.get())) {
      SetLastError(ERROR_CANT_ACCESS_FILE);
      return platform::HoldAttempt::kRefused;
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition)) {
      return platform::HoldAttempt::kRefused;
    }
    *file_.out() = file.release();
    return platform::HoldAttempt::kTaken;
  }

 private:
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

  // A file, no link of any kind, and where the folder's own entry is: Wine
  // opens what a Unix link names whatever the flags say, and shows no
  // reparse point, so where the handle really leads is compared too.
  bool IsOwnFile(HANDLE file) const {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
      return false;
    }
    const platform::UniqueHandle folder(CreateFileW(folder_.c_str(), FILE_READ_ATTRIBUTES,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::wstring folderPath = folder.ok() ? FinalPath(folder.get()) : std::wstring();
    const std::wstring filePath = FinalPath(file);
    // Wine tells no final path beyond 260 characters: the flags and the
    // attributes above are all there is to go by then.
    if (folderPath.empty() || filePath.empty()) return true;
    const std::wstring expected = folderPath + (folderPath.back() == L'\\' ? L"" : L"\\") + name_;
    return CompareStringOrdinal(expected.c_str(), static_cast<int>(expected.size()), filePath.c_str(),
                                static_cast<int>(filePath.size()), TRUE) == CSTR_EQUAL;
  }

  std::wstring folder_;
  std::wstring name_;
  std::wstring lockPath_;
  platform::UniqueHandle file_;
};

}  // namespace

std::unique_ptr<platform::InstallHold> platform::InstallHold::Create(const std::string& dstPath,
                                                                     const std::string& lockFileName) {
  return std::make_unique<FileHold>(dstPath, lockFileName);
}
