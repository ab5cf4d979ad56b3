// What an install placed, as its journal lists it, and taking exactly that
// back out of the installation: a file a user saved since in a placed folder
// is not the install's to delete.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "install/install_folders.h"
#include "install/install_journal.h"
#include "platform/entry_type.h"

class PlacedEntries {
 public:
  /// From the records of one install's journal. One written by an earlier
  /// version lists only the topmost paths: all below them counts as placed.
  explicit PlacedEntries(const std::vector<JournalRecord>& records);

  /// Removes what the install placed at `relative`: a file or link, a folder
  /// once what it placed in it is gone. Anything else met there (a file
  /// saved since) stays, with the folders that hold it, and its path joins
  /// `kept`. False when something placed could not be removed.
  /// Folders are opened as `folders` allows: nothing was placed through a
  /// folder that is gone or swapped, so there is nothing to remove there.
  bool Remove(const InstallFolders& folders, const std::string& relative, std::vector<std::string>& kept) const;

 private:
  /// True when `name` is a copy staged by the journal's install.
  bool IsOwnCopy(const std::string& name) const;

  bool listed_ = false;
  std::vector<std::string> copyPrefixes_;  ///< platform::CopyPrefixOf the journal's tokens
  /// platform::FoldedFileName of each placed path, as the system compares names.
  std::unordered_set<std::string> placed_;
};
