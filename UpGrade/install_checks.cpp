// What can be known about an update before anything is stopped.
#include "UpGrade/install_checks.h"

#include <cstdio>

#include "UpGrade/install_transaction.h"
#include "platform/entry_path.h"
#include "platform/file_open.h"
#include "platform/file_names.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "zip/zip_paths.h"

namespace {

// The entry's name as the extraction writes it, split at its separators.
std::vector<std::string> ComponentsOf(const ArchiveEntry& entry) {
  return pathSegments(tidyPath(platform::EntryPathForSystem(entry.entryName)));
}

// True when `components` begin with the names of `prefix`.
bool StartsWith(const std::vector<std::string>& components, const std::vector<std::string>& prefix) {
  if (components.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (!platform::SameFileName(components[i], prefix[i])) return false;
  }
  return true;
}

}  // namespace

bool HoldsUpdateEntries(const std::vector<ArchiveEntry>& entries) {
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> components = ComponentsOf(entry);
    if (components.size() > 1 && StartsWith(components, {kUpdateDirName})) return true;
  }
  return false;
}

bool TakesReservedName(const std::vector<ArchiveEntry>& entries) {
  // A top-level folder "update/temp" is merged into the work directory
  // itself; "update/.update-probe" would be taken for a probe left behind.
  const std::vector<std::vector<std::string>> reserved = {
      {kJournalName}, {kBackupDirName},
      {kUpdateDirName, kWorkDirName, kJournalName}, {kUpdateDirName, kWorkDirName, kBackupDirName},
      {kUpdateDirName, kProbeName}};
  for (const ArchiveEntry& entry : entries) {
    const std::vector<std::string> components = ComponentsOf(entry);
    for (const std::vector<std::string>& name : reserved) {
      if (StartsWith(components, name)) return true;
    }
  }
  return false;
}

std::string ProbePath(const std::string& dstPath) { return dstPath + platform::kPathSeparator + kProbeName; }

bool AcceptsNewFile(const std::string& dstPath) {
  const std::string probe = ProbePath(dstPath);
  if (!platform::UniqueFile(platform::OpenFile(probe, "wb"))) return false;
  return platform::RemoveFile(probe);
}
