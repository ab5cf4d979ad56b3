// Windows backend of platform/extracted_file.h.
#include "platform/extracted_file.h"

#include <windows.h>

#include "platform/folder_handle.h"
#include "platform/win32/final_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// WriteFile takes at most a DWORD per call.
constexpr std::size_t kLargestWrite = 1u << 30;

constexpr DWORD kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kAccess = GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES;

// Made only where nothing stands (CREATE_NEW refuses a link too), then
// checked: Wine follows a Unix link on its way whatever the flags say, so a
// file that is not the folder's own entry was made through one, and goes
// again through its own handle. A file already there is truncated only
// once its handle is checked.
HANDLE CreatedIn(const platform::FolderHandle& folder, const std::string& name, bool exclusive) {
  const std::wstring path = platform::WidePath(folder.PathOf(name));
  const HANDLE parent = reinterpret_cast<HANDLE>(folder.NativeHandle());
  const std::wstring folderPath =
      parent != nullptr ? platform::FinalPathOf(parent) : platform::FinalPathOfFolder(folder.path());
  platform::UniqueHandle file(CreateFileW(path.c_str(), kAccess, kSharing, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  const bool made = file.ok();
  if (!made) {
    if (GetLastError() != ERROR_FILE_EXISTS) return INVALID_HANDLE_VALUE;
    *file.out() = CreateFileW(path.c_str(), exclusive ? FILE_READ_ATTRIBUTES : kAccess, kSharing, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (!file.ok()) return INVALID_HANDLE_VALUE;
  }
  if (!platform::IsEntryOf(file.get(), folderPath, name)) {
    if (made) {
      FILE_DISPOSITION_INFO dispose{TRUE};
      SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
      SetLastError(platform::kReparsePointEncountered);
    }
    return INVALID_HANDLE_VALUE;
  }
  if (!made && (exclusive || !SetEndOfFile(file.get()))) {
    if (exclusive) SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
  }
  return file.release();
}

}  // namespace

// The access, sharing and disposition with which the C runtime opens a file
// for "wb": others may read and write it meanwhile, an existing file is
// replaced in place, and a read-only one is refused.
platform::ExtractedFile::ExtractedFile(const std::string& path)
    : handle_(reinterpret_cast<std::intptr_t>(
          CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      /*lpSecurityAttributes=*/nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                      /*hTemplateFile=*/nullptr))) {}

platform::ExtractedFile::ExtractedFile(const FolderHandle& folder, const std::string& name, bool exclusive)
    : handle_(
          reinterpret_cast<std::intptr_t>(folder.ok() ? CreatedIn(folder, name, exclusive) : INVALID_HANDLE_VALUE)) {}

platform::ExtractedFile::~ExtractedFile() { Close(); }

bool platform::ExtractedFile::ok() const { return Handle(handle_) != INVALID_HANDLE_VALUE; }

bool platform::ExtractedFile::Write(const char* bytes, std::size_t count) {
  while (count > 0) {
    const DWORD wanted = static_cast<DWORD>(count < kLargestWrite ? count : kLargestWrite);
    DWORD put = 0;
    if (!WriteFile(Handle(handle_), bytes, wanted, &put, /*lpOverlapped=*/nullptr) || put == 0) {
      return false;
    }
    bytes += put;
    count -= put;
  }
  return true;
}

bool platform::ExtractedFile::Close() {
  if (!ok()) return false;
  const HANDLE handle = Handle(handle_);
  handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
  // On the disk before the install moves it in: a volume cannot be flushed
  // whole here (see disk_flush.h).
  const bool flushed = FlushFileBuffers(handle) != FALSE;
  return CloseHandle(handle) != FALSE && flushed;
}
