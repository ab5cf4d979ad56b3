// A folder held open while entries are placed into it, moved out of it and
// removed from it: on Linux a descriptor, so that every later call names
// entries relative to the folder that was checked, never through a link
// that took its place since; on Windows the folder's path, looked up again
// at each call as the path calls always did, each folder opened and each
// entry removed checked to be the folder's own, never what a link leads to.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/directory_listing.h"
#include "platform/entry_type.h"
#include "platform/file_stream.h"

namespace platform {

class FolderHandle {
 public:
  FolderHandle() = default;

  /// Opens the folder `path`, links on the way followed (the installation
  /// itself and the work directory are named by the user).
  static FolderHandle Open(const std::string& path);

  /// Opens the folder `name` of this one; a link there is followed only when
  /// `followLink` (one the plan met), never otherwise (Linux: O_NOFOLLOW |
  /// O_DIRECTORY). Not ok(), with LastSystemError() telling why, when there
  /// is no such folder or it is a link not to be followed.
  FolderHandle Child(const std::string& name, bool followLink = false) const;

  /// The folder `name` of this one, made now when missing and `made` is not
  /// null (it tells whether it was), never reached through a link: Linux
  /// makes it relative to this folder and opens it with O_NOFOLLOW; Windows
  /// checks the handle it opened, which must be no reparse point and have
  /// this folder's final path followed by `name` (Wine honours no reparse
  /// flag, and shows no reparse attribute on a Unix link). Not ok()
  /// otherwise, with LastSystemError() telling why: IsLinkMetError() when a
  /// link or junction stood at the name.
  FolderHandle OwnChild(const std::string& name, bool* made) const;

  /// True when the running process's user owns the folder (Linux; always on
  /// Windows, where an elevated run's folders belong to a group).
  bool OwnedByThisUser() const;

  /// Makes the symbolic link `name` leading to `target`, relative to this
  /// folder; false where the system makes none (Windows) or refuses.
  bool MakeLink(const std::string& name, const std::string& target) const;

  /// The descriptor (Linux) or directory handle (Windows, null before
  /// OwnChild) held, for the backends of other seams.
  std::intptr_t NativeHandle() const;

  bool ok() const;
  /// The folder's path as it was opened, for messages and for calls that
  /// have no descriptor-relative form (Linux: a path through the descriptor).
  std::string PathOf(const std::string& name) const;
  const std::string& path() const;

  /// True when the folder held is the one whose FileIdentity was `identity`
  /// (always on Windows, where each call looks the path up again).
  bool Is(const std::string& identity) const;

  /// What the entry `name` itself is, never followed; kMissing as EntryTypeOf.
  EntryType TypeOf(const std::string& name) const;
  /// The folder's entries as ListDirectory gives them; false, with
  /// LastSystemError() telling why, when they cannot be read.
  bool List(std::vector<DirectoryEntry>& entries) const;
  bool MakeFolder(const std::string& name) const;
  /// Makes the file `name` here and opens it for writing ("wb"), this run's
  /// own: created exclusively, never through a link, not inherited by the
  /// programs the run starts. Null, with LastSystemError() telling why, when
  /// anything stands at `name` (HoldsLink tells whether that is a link) or
  /// it cannot be made.
  UniqueFile MakeFile(const std::string& name) const;
  /// True when what stands at `name` is a link of any kind, one the system
  /// shows as a file or folder included (Wine shows a Unix link as what it
  /// leads to).
  bool HoldsLink(const std::string& name) const;
  /// Renames `name` to `into`'s free name `newName`, never followed; false,
  /// with LastSystemError() telling why, also across file systems.
  bool Rename(const std::string& name, const FolderHandle& into, const std::string& newName) const;
  /// Moves the file `name` to `into`'s `newName`, replacing a file there.
  bool Replace(const std::string& name, const FolderHandle& into, const std::string& newName) const;
  /// Removes the file or link `name` (never what a link leads to; one that
  /// only the link's target could be removed through stays), or the empty
  /// folder `name` when `folder`. A read-only file goes too (Windows: its
  /// attribute is cleared first, on the entry itself).
  bool Remove(const std::string& name, bool folder) const;

 private:
  struct State;
  explicit FolderHandle(std::shared_ptr<const State> state) : state_(std::move(state)) {}
  /// Shared by copies, closed with the last (RAII).
  std::shared_ptr<const State> state_;
};

}  // namespace platform
