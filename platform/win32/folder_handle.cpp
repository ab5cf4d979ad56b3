// Windows backend of platform/folder_handle.h: the folder's path, looked up
// again at each call, as the install's path calls always were; a folder
// opened by OwnChild also holds its handle and its final path. Each folder
// opened below the first and each entry removed or made is checked by a
// handle to be the folder's own (platform/win32/final_path.h): Wine shows a
// Unix link as what it leads to, and its DeleteFileW and RemoveDirectoryW
// remove what the link names.
#include "platform/folder_handle.h"

#include <fcntl.h>
#include <io.h>

#include <windows.h>

#include "platform/directory_move.h"
#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/win32/final_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace platform {

struct FolderHandle::State {
  std::string path;
  UniqueHandle handle;     ///< only from OwnChild
  std::wstring finalPath;  ///< only from OwnChild
  bool refused = false;    ///< a link or another folder's entry where this folder was asked for
};

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens the entry `name` of the folder at `folder`, whose final path is
// `folderFinalPath` (empty: looked up now), itself with `access` into
// `entry`; false when it cannot be opened or is not the folder's own
// (LastSystemError() tells: ERROR_CANT_ACCESS_FILE for the latter).
bool OpenOwnEntry(const std::string& folder, const std::wstring& folderFinalPath, const std::string& name, DWORD access,
                  UniqueHandle& entry) {
  *entry.out() =
      CreateFileW(WidePath(folder + kPathSeparator + name).c_str(), access, kShareAll,
                  /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, kOwnEntryFlags, /*hTemplateFile=*/nullptr);
  if (!entry.ok()) return false;
  if (IsEntryOf(entry.get(), folderFinalPath.empty() ? FinalPathOfFolder(folder) : folderFinalPath, name)) return true;
  entry.reset();
  SetLastError(ERROR_CANT_ACCESS_FILE);
  return false;
}

// Whether the entry `name` of `folder` opens as the folder's own.
bool OpensAsOwn(const std::string& folder, const std::string& name) {
  UniqueHandle entry;
  return OpenOwnEntry(folder, {}, name, FILE_READ_ATTRIBUTES, entry);
}

// Clears the read-only attribute of the opened `entry`, which the system
// would not delete otherwise.
bool MakeWritable(HANDLE entry) {
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof basic)) return false;
  if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0) return true;
  basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

}  // namespace

FolderHandle FolderHandle::Open(const std::string& path) {
  auto state = std::make_shared<State>();
  state->path = path;
  return FolderHandle(std::move(state));
}

FolderHandle FolderHandle::Child(const std::string& name, bool followLink) const {
  FolderHandle child = Open(PathOf(name));
  if (!followLink && (!ok() || !OpensAsOwn(path(), name))) {
    std::const_pointer_cast<State>(child.state_)->refused = true;
  }
  return child;
}

// A folder made through a junction or link is taken away again at once,
// through its own final path.
FolderHandle FolderHandle::OwnChild(const std::string& name, bool* made) const {
  auto state = std::make_shared<State>();
  state->path = PathOf(name);
  state->refused = true;
  if (made != nullptr) *made = false;
  if (!ok()) return FolderHandle(std::move(state));
  const std::wstring parent = state_->finalPath.empty() ? FinalPathOfFolder(state_->path) : state_->finalPath;
  const std::wstring wide = WidePath(state->path);
  const bool madeNow = made != nullptr && CreateDirectoryW(wide.c_str(), nullptr) != FALSE;
  const DWORD refused = made != nullptr && !madeNow && GetLastError() != ERROR_ALREADY_EXISTS ? GetLastError() : 0;
  *state->handle.out() =
      CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, kOwnEntryFlags, nullptr);
  // A folder the system refused to make gives that refusal, not the open's
  // "not found" after it.
  if (!state->handle.ok() && refused != 0 && GetLastError() == ERROR_FILE_NOT_FOUND) SetLastError(refused);
  if (state->handle.ok() && IsEntryOf(state->handle.get(), parent, name)) {
    BY_HANDLE_FILE_INFORMATION information{};
    state->refused = !GetFileInformationByHandle(state->handle.get(), &information) ||
                     (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (state->refused) SetLastError(ERROR_DIRECTORY);
  } else if (madeNow && state->handle.ok()) {
    const DWORD error = GetLastError();
    RemoveDirectoryW(FinalPathOf(state->handle.get()).c_str());
    SetLastError(error);
  }
  if (made != nullptr) *made = madeNow && !state->refused;
  if (!state->refused) state->finalPath = FinalPathOf(state->handle.get());
  return FolderHandle(std::move(state));
}

bool FolderHandle::OwnedByThisUser() const { return ok(); }

bool FolderHandle::MakeLink(const std::string&, const std::string&) const {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

std::intptr_t FolderHandle::NativeHandle() const {
  return state_ == nullptr ? 0 : reinterpret_cast<std::intptr_t>(state_->handle.get());
}

bool FolderHandle::ok() const {
  return state_ != nullptr && !state_->refused && (state_->handle.ok() || IsExistingDirectory(state_->path));
}

std::string FolderHandle::PathOf(const std::string& name) const {
  return state_ == nullptr ? name : state_->path + kPathSeparator + name;
}

const std::string& FolderHandle::path() const { return state_->path; }

bool FolderHandle::Is(const std::string&) const { return true; }

EntryType FolderHandle::TypeOf(const std::string& name) const { return EntryTypeOf(PathOf(name)); }

bool FolderHandle::List(std::vector<DirectoryEntry>& entries) const { return ListDirectory(state_->path, entries); }

bool FolderHandle::MakeFolder(const std::string& name) const { return MakeDirectory(PathOf(name)); }

// CREATE_NEW refuses whatever stands at the name, a link included, even where
// the reparse flag is not honoured.
UniqueFile FolderHandle::MakeFile(const std::string& name) const {
  UniqueHandle file(CreateFileW(WidePath(PathOf(name)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                /*lpSecurityAttributes=*/nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, /*hTemplateFile=*/nullptr));
  if (!file.ok()) return nullptr;
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file.get()), _O_WRONLY | _O_BINARY);
  if (descriptor < 0) return nullptr;
  file.release();
  std::FILE* stream = _fdopen(descriptor, "wb");
  if (stream == nullptr) _close(descriptor);
  return UniqueFile(stream);
}

bool FolderHandle::HoldsLink(const std::string& name) const {
  if (TypeOf(name) == EntryType::kLink) return true;
  return !OpensAsOwn(path(), name) && GetLastError() == ERROR_CANT_ACCESS_FILE;
}

bool FolderHandle::Rename(const std::string& name, const FolderHandle& into, const std::string& newName) const {
  return RenameEntry(PathOf(name), into.PathOf(newName));
}

bool FolderHandle::Replace(const std::string& name, const FolderHandle& into, const std::string& newName) const {
  return MoveFileReplacing(PathOf(name), into.PathOf(newName));
}

// Deleted through a handle on the entry itself, once it is known to be the
// folder's own: a link is removed as a link on Windows, and one that Wine
// will only open as what it leads to stays.
bool FolderHandle::Remove(const std::string& name, bool) const {
  if (state_ == nullptr) return false;
  UniqueHandle entry;
  if (!OpenOwnEntry(path(), state_->finalPath, name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, entry) ||
      !MakeWritable(entry.get())) {
    return false;
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace platform
