// What can be known about an update before anything is stopped: the archive
// brings files to install, it leaves the install's own files alone, and the
// installation accepts new files.
#include "install/install_checks.h"

#include "install/install.h"
#include "platform/file_names.h"
#include "platform/file_open.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "zip/zip_paths.h"

namespace {

std::string ProbePath(const std::string& dstPath) { return dstPath + platform::kPathSeparator + kProbeName; }

}  // namespace

bool HoldsUpdateEntries(const std::vector<ArchiveEntry>& entries) {
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> names = entryPathNames(entry.entryName);
    if (names.size() > 1 && startsWithNames(names, {kUpdateDirName})) return true;
  }
  return false;
}

const ArchiveEntry* EntryTakingReservedName(const std::vector<ArchiveEntry>& entries) {
  // A top-level folder "update/temp" is merged into the work directory
  // itself; "update/.update-probe" would be taken for a probe left behind.
  const std::vector<std::vector<std::string>> reserved = {
      {kJournalName}, {kBackupDirName},
      {kUpdateDirName, kWorkDirName, kJournalName}, {kUpdateDirName, kWorkDirName, kBackupDirName},
      {kUpdateDirName, kProbeName}};
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> names = entryPathNames(entry.entryName);
    for (const std::vector<std::string>& name : reserved) {
      if (startsWithNames(names, name)) return &entry;
    }
  }
  return nullptr;
}

bool AcceptsNewFile(const std::string& dstPath) {
  const std::string probe = ProbePath(dstPath);
  if (!platform::UniqueFile(platform::OpenFile(probe, "wb"))) return false;
  return platform::RemoveFile(probe);
}

void RemoveLeftoverProbe(const std::string& dstPath) { platform::RemoveFile(ProbePath(dstPath)); }
