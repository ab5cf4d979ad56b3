// The permission bits of installed files that an update archive, made
// without Unix modes, replaces.
#pragma once

#include <string>
#include <vector>

#include "zip/archive_entry.h"

/// For each file entry below "update/" of `entries` that recorded no Unix mode
/// (made on Windows, say), gives its extracted file in `workDir` the
/// permission bits of the installed file in `dstPath` that it will replace,
/// where there is one. Entries that replace nothing keep what extraction gave
/// them. Nothing changes where files have no permission bits.
void KeepInstalledModes(const std::vector<ArchiveEntry>& entries, const std::string& workDir,
                        const std::string& dstPath);
