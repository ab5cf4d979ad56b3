// Windows backend of platform/folder_handle.h: the folder's path, looked up
// again at each call, as the install's path calls always were; a folder
// opened by OwnChild also holds its handle, checked, and its final path.
#include "platform/folder_handle.h"

#include "platform/directory_move.h"
#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/win32/final_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace platform {

struct FolderHandle::State {
  std::string path;
  UniqueHandle handle;     // only from OwnChild
  std::wstring finalPath;  // only from OwnChild
  bool refused = false;    // OwnChild met no folder of its own there
};

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Wine follows a Unix link in DeleteFileW: a file is removed through a
// handle that was checked to be the entry itself.
bool RemoveCheckedFile(const std::string& path, const std::wstring& folder, const std::string& name) {
  const UniqueHandle file(CreateFileW(WidePath(path).c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.ok() || !IsEntryOf(file.get(), folder, name)) return false;
  FILE_DISPOSITION_INFO dispose{TRUE};
  return SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose) != FALSE;
}

}  // namespace

FolderHandle FolderHandle::Open(const std::string& path) {
  auto state = std::make_shared<State>();
  state->path = path;
  return FolderHandle(std::move(state));
}

FolderHandle FolderHandle::Child(const std::string& name, bool) const { return Open(PathOf(name)); }

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
  *state->handle.out() = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
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

bool FolderHandle::Rename(const std::string& name, const FolderHandle& into, const std::string& newName) const {
  return RenameEntry(PathOf(name), into.PathOf(newName));
}

bool FolderHandle::Replace(const std::string& name, const FolderHandle& into, const std::string& newName) const {
  return MoveFileReplacing(PathOf(name), into.PathOf(newName));
}

bool FolderHandle::Remove(const std::string& name, bool folder) const {
  const std::string path = PathOf(name);
  if (folder) return RemoveEmptyDirectory(path);
  if (!state_->finalPath.empty()) return RemoveCheckedFile(path, state_->finalPath, name);
  return EntryTypeOf(path) == EntryType::kLink ? RemoveLink(path) : RemoveFile(path);
}

}  // namespace platform
