// Windows backend of platform/folder_handle.h: the folder's path, looked up
// again at each call, as the install's path calls always were. Each folder
// opened below the first and each entry removed or made is checked by a
// handle to be the folder's own (platform/win32/own_entry.h): Wine shows a
// Unix link as what it leads to, and its DeleteFileW and RemoveDirectoryW
// remove what the link names.
#include "platform/folder_handle.h"

#include <fcntl.h>
#include <io.h>

#include <windows.h>

#include "platform/directory_move.h"
#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/win32/own_entry.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace platform {

struct FolderHandle::State {
  std::string path;
  bool refused = false;  ///< a link or another folder's entry where this folder was asked for
};

namespace {

// Opens the entry `name` of `folder` itself with `access` into `entry`;
// false when it cannot be opened or is not the folder's own
// (LastSystemError() tells: ERROR_CANT_ACCESS_FILE for the latter).
bool OpenOwnEntry(const std::string& folder, const std::string& name, DWORD access, UniqueHandle& entry) {
  *entry.out() = CreateFileW(WidePath(folder + kPathSeparator + name).c_str(), access,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, /*lpSecurityAttributes=*/nullptr,
                             OPEN_EXISTING, kOwnEntryFlags, /*hTemplateFile=*/nullptr);
  if (!entry.ok()) return false;
  if (IsOwnEntry(entry.get(), WidePath(folder), WidePath(name))) return true;
  entry.reset();
  SetLastError(ERROR_CANT_ACCESS_FILE);
  return false;
}

// Whether the entry `name` of `folder` opens as the folder's own.
bool OpensAsOwn(const std::string& folder, const std::string& name) {
  UniqueHandle entry;
  return OpenOwnEntry(folder, name, FILE_READ_ATTRIBUTES, entry);
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

bool FolderHandle::ok() const { return state_ != nullptr && !state_->refused && IsExistingDirectory(state_->path); }

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
  if (!OpenOwnEntry(path(), name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, entry) ||
      !MakeWritable(entry.get())) {
    return false;
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace platform
