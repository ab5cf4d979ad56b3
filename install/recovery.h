// Undoing an install from its journal: after a failure, and when the next
// run finds one cut off. RecoverInstall itself is declared in install/install.h.
#pragma once

#include <string>
#include <vector>

#include "install/install.h"
#include "install/install_journal.h"
#include "install/install_layout.h"

struct Undone {
  bool whole = false;                ///< the old version is back, whole
  int restoredCount = 0;             ///< old entries moved back from their backups
  std::vector<std::string> kept;     ///< found in placed folders, not placed: left where they are
  std::vector<FailedStep> failures;  ///< the steps that failed, in order
  UntrustedJournal untrusted;        ///< the journal not acted on; nothing was undone then
};

/// Undoes what the journal `read` announced and the disk shows done, newest
/// first: removes what was placed on new paths, then moves each backup back
/// over its target; a folder that holds what the install did not place (see
/// PlacedEntries) stays, and its backup's entries move back into it. What
/// cannot be undone stays for a later try. A journal that cannot be read or
/// is damaged is not acted on at all: everything stays, and `untrusted` says
/// why. The installation's folders are opened as `folders` allows.
Undone UndoJournal(const InstallLayout& layout, const JournalRead& read, const InstallFolders& folders);
