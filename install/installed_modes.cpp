// The permission bits of installed files that an update archive, made
// without Unix modes, replaces.
#include "install/install.h"
#include "install/install_paths.h"
#include "platform/file_mode.h"

// An installed program replaced by one from an archive without Unix modes
// would otherwise lose its execute bits, and the relaunch would fail.
void KeepInstalledModes(const std::vector<ArchiveEntry>& entries, const std::string& workDir,
                        const std::string& dstPath) {
  for (const ArchiveEntry& entry : entries) {
    if (entry.hasUnixMode || entry.directory) continue;
    const std::string relative = JoinNames(NamesBelowUpdate(entry.entryName));
    if (relative.empty()) continue;
    // An installed file that is not there, or no regular file, gives nothing.
    platform::CopyPermissionBits(JoinPath(dstPath, relative), JoinPath(JoinPath(workDir, kUpdateDirName), relative));
  }
}
