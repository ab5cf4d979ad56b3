// Windows backend of platform/folder_handle.h: the folder's path, looked up
// again at each call, as the install's path calls always were.
#include "platform/folder_handle.h"

#include "platform/directory_move.h"
#include "platform/file_open.h"
#include "platform/file_system.h"

namespace platform {

struct FolderHandle::State {
  std::string path;
};

FolderHandle FolderHandle::Open(const std::string& path) {
  auto state = std::make_shared<State>();
  state->path = path;
  return FolderHandle(std::move(state));
}

FolderHandle FolderHandle::Child(const std::string& name, bool) const { return Open(PathOf(name)); }

bool FolderHandle::ok() const { return state_ != nullptr && IsExistingDirectory(state_->path); }

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
  return EntryTypeOf(path) == EntryType::kLink ? RemoveLink(path) : RemoveFile(path);
}

}  // namespace platform
