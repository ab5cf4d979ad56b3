// POSIX backend of platform/folder_handle.h: a descriptor opened with
// O_DIRECTORY, and O_NOFOLLOW below the folder first opened, so that each
// call names entries relative to it.
#include "platform/folder_handle.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_copy.h"
#include "platform/posix/rename_no_replace.h"
#include "platform/posix/unique_fd.h"

namespace platform {

struct FolderHandle::State {
  State(int descriptor, std::string name) : fd(descriptor), path(std::move(name)) {}
  UniqueFd fd;
  std::string path;
};

namespace {

// The descriptor's own path: a call without an *at form that is given it
// still resolves relative to the descriptor, whatever the path became.
std::string ThroughDescriptor(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

EntryType TypeOfStatus(const struct stat& status) {
  if (S_ISLNK(status.st_mode)) return EntryType::kLink;
  return S_ISDIR(status.st_mode) ? EntryType::kDirectory : EntryType::kFile;
}

}  // namespace

FolderHandle FolderHandle::Open(const std::string& path) {
  return FolderHandle(std::make_shared<State>(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), path));
}

FolderHandle FolderHandle::Child(const std::string& name, bool followLink) const {
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
  const int fd = ok() ? openat(state_->fd.get(), name.c_str(), flags) : -1;
  return FolderHandle(std::make_shared<State>(fd, PathOf(name)));
}

// A folder another writer of the same extraction made meanwhile counts as
// there; whatever stands at the name, only a folder itself is opened.
// A folder the system refused to make gives that refusal, not the open's
// "no such file" after it.
FolderHandle FolderHandle::OwnChild(const std::string& name, bool* made) const {
  const bool tried = made != nullptr && ok();
  const bool madeNow = tried && mkdirat(state_->fd.get(), name.c_str(), 0777) == 0;
  const int refused = tried && !madeNow && errno != EEXIST ? errno : 0;
  if (made != nullptr) *made = madeNow;
  FolderHandle child = Child(name);
  if (child.ok()) return child;
  const int error = errno;
  if (TypeOf(name) == EntryType::kLink) {
    errno = ELOOP;
  } else {
    errno = error == ENOENT && refused != 0 ? refused : error;
  }
  return child;
}

bool FolderHandle::OwnedByThisUser() const {
  struct stat status {};
  return ok() && fstat(state_->fd.get(), &status) == 0 && status.st_uid == geteuid();
}

bool FolderHandle::MakeLink(const std::string& name, const std::string& target) const {
  return ok() && symlinkat(target.c_str(), state_->fd.get(), name.c_str()) == 0;
}

std::intptr_t FolderHandle::NativeHandle() const { return ok() ? state_->fd.get() : -1; }

bool FolderHandle::ok() const { return state_ != nullptr && state_->fd.ok(); }

std::string FolderHandle::PathOf(const std::string& name) const {
  return state_ == nullptr ? name : state_->path + "/" + name;
}

const std::string& FolderHandle::path() const { return state_->path; }

bool FolderHandle::Is(const std::string& identity) const {
  struct stat status {};
  if (!ok() || fstat(state_->fd.get(), &status) != 0) return false;
  char text[48];
  std::snprintf(text, sizeof text, "%llx-%llx", static_cast<unsigned long long>(status.st_dev),
                static_cast<unsigned long long>(status.st_ino));
  return identity == text;
}

EntryType FolderHandle::TypeOf(const std::string& name) const {
  struct stat status {};
  if (!ok() || fstatat(state_->fd.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return EntryType::kMissing;
  return TypeOfStatus(status);
}

bool FolderHandle::List(std::vector<DirectoryEntry>& entries) const {
  return ok() && ListDirectory(ThroughDescriptor(state_->fd.get()), entries);
}

bool FolderHandle::MakeFolder(const std::string& name) const {
  return ok() && mkdirat(state_->fd.get(), name.c_str(), 0777) == 0;
}

UniqueFile FolderHandle::MakeFile(const std::string& name) const {
  UniqueFd file(
      ok() ? openat(state_->fd.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644) : -1);
  if (!file.ok()) return nullptr;
  std::FILE* stream = fdopen(file.get(), "wb");
  if (stream != nullptr) file.Release();
  return UniqueFile(stream);
}

bool FolderHandle::HoldsLink(const std::string& name) const { return TypeOf(name) == EntryType::kLink; }

bool FolderHandle::Rename(const std::string& name, const FolderHandle& into, const std::string& newName) const {
  return ok() && into.ok() && RenameNoReplace(state_->fd.get(), name.c_str(), into.state_->fd.get(), newName.c_str());
}

bool FolderHandle::Replace(const std::string& name, const FolderHandle& into, const std::string& newName) const {
  if (!ok() || !into.ok()) return false;
  if (renameat(state_->fd.get(), name.c_str(), into.state_->fd.get(), newName.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  // Across file systems the copy is made beside the target, through the
  // descriptor of the folder it lands in.
  return CopyFileReplacing(ThroughDescriptor(state_->fd.get()) + "/" + name,
                           ThroughDescriptor(into.state_->fd.get()) + "/" + newName) &&
         unlinkat(state_->fd.get(), name.c_str(), 0) == 0;
}

bool FolderHandle::Remove(const std::string& name, bool folder) const {
  return ok() && unlinkat(state_->fd.get(), name.c_str(), folder ? AT_REMOVEDIR : 0) == 0;
}

}  // namespace platform
