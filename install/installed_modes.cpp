// The permission bits of installed files that an update archive, made
// without Unix modes, replaces.
#include "install/install.h"
#include "platform/file_mode.h"
#include "platform/file_system.h"
#include "zip/zip_paths.h"

// An installed program replaced by one from an archive without Unix modes
// would otherwise lose its execute bits, and the relaunch would fail.
void KeepInstalledModes(const std::vector<ArchiveEntry>& entries, const std::string& workDir,
                        const std::string& dstPath) {
  for (const ArchiveEntry& entry : entries) {
    if (entry.hasUnixMode || entry.directory) continue;
    const std::vector<std::string> names = entryPathNames(entry.entryName);
    if (names.size() < 2 || !startsWithNames(names, {kUpdateDirName})) continue;
    std::string relative = names[1];
    for (std::size_t i = 2; i < names.size(); ++i) relative += platform::kPathSeparator + names[i];
    // An installed file that is not there, or no regular file, gives nothing.
    platform::CopyPermissionBits(
        dstPath + platform::kPathSeparator + relative,
        workDir + platform::kPathSeparator + kUpdateDirName + platform::kPathSeparator + relative);
  }
}
