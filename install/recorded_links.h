// Recovery writes only where the install did: the folders on the way to
// what a journal names are checked against the links it recorded.
#pragma once

#include <string>
#include <vector>

#include "install/install.h"
#include "install/install_journal.h"

/// The first folder of `dstPath` on the way to a path that `records` name
/// which is a link the journal did not record, or was recorded as a link and
/// now leads elsewhere or is none; an empty path when there is none. Link
/// texts, not identities, are compared: those do not survive a reboot on
/// several file systems, and recovery after a power cut must still work.
ChangedFolder FolderChangedSinceTheInstall(const std::string& dstPath, const std::vector<JournalRecord>& records);
