// Moving the installed targets aside to their backups before the new tree
// is placed: folders whole, the rest spread over threads, and a target on
// another volume than the work directory (a linked folder's) into a backup
// area on its own volume.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "install/install.h"
#include "install/install_folders.h"
#include "install/install_layout.h"
#include "install/journal_writer.h"

/// What moving targets aside left to do or could not do.
struct AsideResult {
  bool moved = true;                ///< false once a move or a step failed: no move starts after it
  std::vector<AsideMove> crossing;  ///< on another volume than their backup area
  std::vector<FailedAside> failed;  ///< each with the system's code
};

class MovesAside {
 public:
  /// Moves out of `folders`' installation into `layout`'s backups; the
  /// backup areas on other volumes are announced in `journal`.
  MovesAside(InstallLayout& layout, const InstallFolders& folders, JournalWriter& journal);

  /// Moves each folder of `movedWhole` aside whole, spread over threads.
  /// Gives those the system would not move in one rename (Windows refuses
  /// while a file in one is open).
  std::vector<std::string> MoveWhole(const std::vector<AsideMove>& movedWhole) const;
  /// Moves every target of `moves` aside to its backup, spread over threads.
  AsideResult MoveAside(const std::vector<AsideMove>& moves) const;
  /// Moves each target of `crossing` aside into the backup area of the
  /// topmost folder of its path that lies on its volume (the rename says
  /// which), each area and each move announced before it is taken.
  AsideResult MoveAcross(const std::vector<AsideMove>& crossing);

 private:
  bool MoveToBackup(const std::string& relative, int number, int area) const;
  int AreaFor(const std::string& folder);

  InstallLayout& layout_;
  const InstallFolders& folders_;
  JournalWriter& journal_;
  std::map<std::string, int> areas_;  ///< by the folder they are in
  std::map<int, int> nextInArea_;
};
