// The installation's folders as the plan met them, opened for the install,
// the rollback and the recovery: each folder on the way is opened relative
// to the one before it (platform/folder_handle.h), a link only where the
// plan met one, and each folder the plan met must still be the one it met.
// A folder swapped for a link or another folder since is never written
// through: the install fails and names it.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/folder_handle.h"

/// An installed folder the install goes into, as the plan met it.
struct PlannedFolder {
  std::string identity;  ///< platform::FileIdentity of what it is or leads to; empty: not checked
  bool link = false;     ///< a link then, followed once to the folder it leads to
  std::string linkText = {};  ///< a link's platform::LinkText then; empty: unknown
};

/// By path relative to the installation; "" is the installation itself.
using PlannedFolders = std::map<std::string, PlannedFolder>;

class InstallFolders {
 public:
  /// Without a plan every link is followed, as the tree copy always did.
  explicit InstallFolders(std::string dstPath);
  InstallFolders(std::string dstPath, PlannedFolders planned);

  /// The installation's folder `relative` ("" itself); not ok() when a
  /// folder on the way is missing, is a link the plan did not meet, or is no
  /// longer the folder the plan met (swapped() names it then).
  platform::FolderHandle Open(const std::string& relative) const;
  /// The folder `name` of `parent`, which is the installation's `relative`
  /// (`name` its last part), under the same rules.
  platform::FolderHandle Child(const platform::FolderHandle& parent, const std::string& relative,
                               const std::string& name) const;
  /// The folder that holds the installation's `relative`, and in `name` its last part.
  platform::FolderHandle OpenParent(const std::string& relative, std::string& name) const;

  /// Adds folders planned since (while no other thread opens any).
  void Add(const PlannedFolders& planned) { folders_.insert(planned.begin(), planned.end()); }

  /// The first folder found swapped since the plan, as a path; empty: none.
  std::string swappedSincePlan() const;

 private:
  bool Swapped(const platform::FolderHandle& parent, const std::string& name, const std::string& relative,
               const platform::FolderHandle& child) const;

  std::string dstPath_;
  bool planned_ = false;
  PlannedFolders folders_;
  mutable std::mutex mutex_;
  mutable std::string swapped_;
};
