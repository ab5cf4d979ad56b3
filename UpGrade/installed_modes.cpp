// The permission bits of installed files that an update archive, made
// without Unix modes, replaces.
#include "UpGrade/installed_modes.h"

#include "platform/file_mode.h"
#include "platform/file_system.h"
#include "zip/zip_paths.h"

namespace {

// The archive's folder that lands in the installation.
constexpr const char kUpdateFolder[] = "update/";

}  // namespace

// An installed program replaced by one from an archive without Unix modes
// would otherwise lose its execute bits, and the relaunch would fail.
void KeepInstalledModes(const std::vector<ArchiveEntry>& entries, const std::string& workDir,
                        const std::string& dstPath) {
  const std::string folder = kUpdateFolder;
  for (const ArchiveEntry& entry : entries) {
    if (entry.hasUnixMode || entry.directory) continue;
    const std::string name = tidyPath(entry.entryName);
    if (name.size() <= folder.size() || name.compare(0, folder.size(), folder) != 0) continue;
    const std::string installed = dstPath + platform::kPathSeparator + name.substr(folder.size());
    // An installed file that is not there, or no regular file, gives nothing.
    platform::CopyPermissionBits(installed, workDir + platform::kPathSeparator + name);
  }
}
