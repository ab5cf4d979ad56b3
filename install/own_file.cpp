// The updater's own file among the files an update installs.
#include "install/install.h"
#include "install/install_paths.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "util/paths.h"

namespace {

// The updater's program name as vendors ship it, whatever this copy is called.
constexpr const char kUpdaterName[] = "update.exe";

}  // namespace

bool IsUpdaterOwnFile(const std::string& fileName) {
  static const std::string ownPath = platform::ExecutablePath().value;
  static const std::string ownName = FileNameOf(ownPath);
  // The 8.3 short name of the updater's file, as its folder holds it, is
  // that file; a name that cannot be looked up is compared as it is.
  const platform::SystemRead<std::string> held = platform::LongNameIn(ParentDirectoryOf(ownPath), fileName);
  const std::string& name = held.ok() ? held.value : fileName;
  return platform::SameFileName(name, kUpdaterName) || (!ownName.empty() && platform::SameFileName(name, ownName));
}

std::vector<std::string> UpdaterOwnFileEntries(const std::vector<ArchiveEntry>& entries) {
  std::vector<std::string> own;
  for (const ArchiveEntry& entry : entries) {
    if (entry.directory) continue;
    const std::vector<std::string> names = NamesBelowUpdate(entry.entryName);
    if (names.size() == 1 && IsUpdaterOwnFile(names[0])) own.push_back(std::string(kUpdateDirName) + "/" + names[0]);
  }
  return own;
}
