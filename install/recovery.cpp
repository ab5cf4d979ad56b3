// Undoing an install from its journal.
//
// The journal is trusted only together with the disk: an "aside" record
// whose backup exists means the old entry is in the backup (whatever stands
// at the target is new or half-placed), and one without its backup means the
// rename never happened (the target is still the old entry). A "new" record
// names a path that was free before the install, so whatever stands there
// was placed by it, as far as the journal lists it. A "commit" record means
// the new version is whole.
#include "install/recovery.h"
#include "install/install_paths.h"

#include <set>
#include <utility>

#include "install/held_retry.h"
#include "install/install.h"
#include "install/install_checks.h"
#include "install/placed_entries.h"
#include "install/recorded_links.h"
#include "install/tree_removal.h"
#include "platform/entry_type.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/system_error.h"

namespace {

// Moves the backup `backupName` of `backups` back to the installation's
// `relative` in `parent`. Where a folder stayed there (it holds what the
// install did not place), the backup's entries move into it, folders merged
// the same way.
bool PutBack(const platform::FolderHandle& backups, const std::string& backupName, const platform::FolderHandle& parent,
             const std::string& relative, const InstallFolders& folders) {
  const std::string name = LastNameOf(relative);
  const platform::EntryType standing = parent.TypeOf(name);
  if (standing == platform::EntryType::kMissing) {
    return RetryWhileHeld(backups.PathOf(backupName), [&] { return backups.Rename(backupName, parent, name); });
  }
  const platform::FolderHandle backup = backups.Child(backupName);
  const platform::FolderHandle target = folders.Child(parent, relative, name);
  std::vector<platform::DirectoryEntry> entries;
  if (standing != platform::EntryType::kDirectory || !target.ok() || !backup.List(entries)) return false;
  bool whole = true;
  for (const platform::DirectoryEntry& entry : entries) {
    whole = PutBack(backup, entry.name, target, JoinPath(relative, entry.name), folders) && whole;
  }
  return whole && backups.Remove(backupName, /*folder=*/true);
}

// A file moved in across volumes is copied beside its target first, under
// a name of the copy's own, which begins with the token the journal
// records: one that a kill left in a folder the install placed into goes
// with the undo. A journal without a token (an earlier version's) names no
// copy, and a name of another run's stays.
void RemoveStagedCopies(const std::vector<JournalRecord>& records, const InstallFolders& folders) {
  std::set<std::string> names;
  std::vector<std::string> prefixes;
  for (const JournalRecord& record : records) {
    const std::size_t end = record.path.rfind(platform::kPathSeparator);
    if ((record.kind == JournalRecord::kNew || record.kind == JournalRecord::kMoveAside) && end != std::string::npos) {
      names.insert(record.path.substr(0, end));
    }
    if (record.kind == JournalRecord::kCopies) prefixes.push_back(platform::CopyPrefixOf(record.path));
  }
  if (prefixes.empty()) return;
  for (const std::string& name : names) {
    const platform::FolderHandle folder = folders.Open(name);
    std::vector<platform::DirectoryEntry> entries;
    folder.List(entries);
    for (const platform::DirectoryEntry& entry : entries) {
      for (const std::string& prefix : prefixes) {
        if (entry.name.rfind(prefix, 0) == 0) RemoveTreeIn(folder, entry.name);
      }
    }
  }
}

// The folders an install's journal names as links the plan met, and those
// that hold a backup area (only a linked folder leads to another volume):
// recovery follows those once, and no other.
PlannedFolders LinkedFolders(const std::vector<JournalRecord>& records) {
  PlannedFolders folders;
  const std::string area = std::string(platform::kPathSeparator) + kBackupDirName + platform::kPathSeparator;
  for (const JournalRecord& record : records) {
    if (record.kind == JournalRecord::kLinked) folders[record.path] = {{}, true};
    const std::size_t end = record.path.rfind(area);
    if (record.kind == JournalRecord::kArea && end != std::string::npos)
      folders[record.path.substr(0, end)] = {{}, true};
  }
  return folders;
}

}  // namespace

Undone UndoJournal(const InstallLayout& layout, const JournalRead& read, const InstallFolders& folders) {
  Undone undone;
  if (!read.trusted()) {
    undone.untrusted = {layout.journal(), read.readable() ? read.damage : "cannot be read", read.error};
    return undone;
  }
  const std::vector<JournalRecord>& records = read.records;
  const auto failed = [&](InstallStep step, const std::string& relative) {
    undone.failures.push_back({step, layout.Target(relative), platform::LastSystemError()});
  };
  const PlacedEntries placed(records);
  RemoveStagedCopies(records, folders);
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind == JournalRecord::kNew && !placed.Remove(folders, record->path, undone.kept)) {
      failed(InstallStep::kRemovePlaced, record->path);
    }
  }
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind != JournalRecord::kMoveAside) continue;
    const platform::FolderHandle backups = layout.OpenBackupFolder(record->number, record->area, folders);
    const std::string backup = InstallLayout::BackupName(record->number);
    if (backups.TypeOf(backup) == platform::EntryType::kMissing) {
      // A backup that cannot be looked at may still be there.
      if (platform::IsMissingError(platform::LastSystemError())) continue;
      undone.failures.push_back({InstallStep::kFindBackup, backups.PathOf(backup), platform::LastSystemError()});
      continue;
    }
    std::string name;
    if (!placed.Remove(folders, record->path, undone.kept)) {
      failed(InstallStep::kRemovePlaced, record->path);
    } else if (!PutBack(backups, backup, folders.OpenParent(record->path, name), record->path, folders)) {
      failed(InstallStep::kPutBack, record->path);
    } else {
      ++undone.restoredCount;
    }
  }
  undone.whole = undone.failures.empty();
  return undone;
}

RecoveryOutcome RecoverInstall(const std::string& dstPath, const std::string& workDir) {
  RemoveLeftoverProbe(dstPath);
  InstallLayout layout(dstPath, workDir);
  // The install never writes behind a linked work directory (the clear
  // replaces one), so a journal found there is not its own.
  if (platform::IsLink(workDir)) return {};
  const JournalRead read = ReadJournal(layout.journal());
  if (!read.found) return {};
  for (const JournalRecord& record : read.records) {
    if (record.kind == JournalRecord::kArea) layout.SetArea(record.number, record.path);
  }
  const ChangedFolder changed = FolderChangedSinceTheInstall(dstPath, read.records);
  if (!changed.path.empty()) {
    return {Recovery::kFailed, 0, {}, {}, {}, changed};
  }
  const InstallFolders folders(dstPath, LinkedFolders(read.records));
  for (const JournalRecord& record : read.records) {
    if (record.kind == JournalRecord::kCommit) {
      layout.Discard(folders);
      return {Recovery::kFinished, 0, {}, {}, {}, {}};
    }
  }
  Undone undone = UndoJournal(layout, read, folders);
  // What was put back is on the disk before the journal goes.
  std::string unflushed;
  if (undone.whole && !layout.FlushToDisk(unflushed)) {
    undone.failures.push_back({InstallStep::kFlush, unflushed, platform::LastSystemError()});
    undone.whole = false;
  }
  RecoveryOutcome outcome{undone.whole ? Recovery::kRolledBack : Recovery::kFailed,
                          undone.restoredCount,
                          std::move(undone.kept),
                          std::move(undone.failures),
                          std::move(undone.untrusted),
                          {}};
  if (undone.whole) layout.Discard(folders);
  return outcome;
}
