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

#include <set>
#include <utility>

#include "install/install.h"
#include "install/install_checks.h"
#include "install/placed_entries.h"
#include "install/tree_removal.h"
#include "platform/directory_listing.h"
#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_system.h"

namespace {

// Moves the backup `backup` back to `target`. Where a folder stayed there
// (it holds what the install did not place), the backup's entries move
// into it, folders merged the same way.
bool PutBack(const std::string& backup, const std::string& target) {
  const platform::EntryType standing = platform::EntryTypeOf(target);
  if (standing == platform::EntryType::kMissing) return platform::RenameEntry(backup, target);
  std::vector<platform::DirectoryEntry> entries;
  if (standing != platform::EntryType::kDirectory || !platform::ListDirectory(backup, entries)) return false;
  bool whole = true;
  for (const platform::DirectoryEntry& entry : entries) {
    whole = PutBack(backup + platform::kPathSeparator + entry.name, target + platform::kPathSeparator + entry.name) &&
            whole;
  }
  return whole && platform::RemoveEmptyDirectory(backup);
}

// A file moved in across volumes is copied beside its target first, under
// a name of the copy's own: one that a kill left in a folder the install
// placed into goes with the undo.
void RemoveStagedCopies(const InstallLayout& layout, const std::vector<JournalRecord>& records) {
  std::set<std::string> folders;
  for (const JournalRecord& record : records) {
    const std::size_t end = record.path.rfind(platform::kPathSeparator);
    if ((record.kind == JournalRecord::kNew || record.kind == JournalRecord::kMoveAside) && end != std::string::npos) {
      folders.insert(record.path.substr(0, end));
    }
  }
  for (const std::string& folder : folders) {
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(layout.Target(folder), entries);
    for (const platform::DirectoryEntry& entry : entries) {
      if (entry.name.rfind(kCopyPrefix, 0) != 0) continue;
      RemoveTree(layout.Target(folder + platform::kPathSeparator + entry.name));
    }
  }
}

}  // namespace

Undone UndoRecorded(const InstallLayout& layout, const std::vector<JournalRecord>& records) {
  Undone undone;
  undone.whole = true;
  const PlacedEntries placed(records);
  RemoveStagedCopies(layout, records);
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind == JournalRecord::kNew && !placed.Remove(layout, record->path, undone.kept)) {
      undone.whole = false;
    }
  }
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind != JournalRecord::kMoveAside) continue;
    const std::string backup = layout.Backup(record->backup, record->area);
    if (!StandsAt(backup)) continue;
    if (placed.Remove(layout, record->path, undone.kept) && PutBack(backup, layout.Target(record->path))) {
      ++undone.restored;
    } else {
      undone.whole = false;
    }
  }
  return undone;
}

RecoveryOutcome RecoverInstall(const std::string& dstPath, const std::string& workDir) {
  RemoveLeftoverProbe(dstPath);
  InstallLayout layout(dstPath, workDir);
  // The install never writes behind a linked work directory (the clear
  // replaces one), so a journal found there is not its own.
  if (platform::IsLink(workDir) || !StandsAt(layout.journal())) return {};
  const std::vector<JournalRecord> records = ReadJournal(layout.journal());
  for (const JournalRecord& record : records) {
    if (record.kind == JournalRecord::kArea) layout.SetArea(record.backup, record.path);
  }
  for (const JournalRecord& record : records) {
    if (record.kind == JournalRecord::kCommit) {
      layout.Discard();
      return {Recovery::kFinished, 0, {}};
    }
  }
  Undone undone = UndoRecorded(layout, records);
  if (!undone.whole) return {Recovery::kFailed, undone.restored, std::move(undone.kept)};
  layout.Discard();
  return {Recovery::kRolledBack, undone.restored, std::move(undone.kept)};
}
