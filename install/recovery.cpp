// Undoing an install from its journal.
//
// The journal is trusted only together with the disk: an "aside" record
// whose backup exists means the old entry is in the backup (whatever stands
// at the target is new or half-placed), and one without its backup means the
// rename never happened (the target is still the old entry). A "new" record
// names a path that was free before the install, so whatever stands there
// was placed by it. A "commit" record means the new version is whole.
#include "install/recovery.h"

#include "install/install.h"
#include "install/install_checks.h"
#include "install/tree_removal.h"
#include "platform/directory_move.h"
#include "platform/entry_type.h"

Undone UndoRecorded(const InstallLayout& layout, const std::vector<JournalRecord>& records) {
  Undone undone;
  undone.whole = true;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind == JournalRecord::kNew && !RemoveTree(layout.Target(record->path))) undone.whole = false;
  }
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind != JournalRecord::kMoveAside) continue;
    const std::string backup = layout.Backup(record->backup);
    if (!StandsAt(backup)) continue;
    const std::string target = layout.Target(record->path);
    if (RemoveTree(target) && platform::RenameEntry(backup, target)) {
      ++undone.restored;
    } else {
      undone.whole = false;
    }
  }
  return undone;
}

RecoveryOutcome RecoverInstall(const std::string& dstPath, const std::string& workDir) {
  RemoveLeftoverProbe(dstPath);
  const InstallLayout layout(dstPath, workDir);
  // The install never writes behind a linked work directory (the clear
  // replaces one), so a journal found there is not its own.
  if (platform::IsLink(workDir) || !StandsAt(layout.journal())) return {};
  const std::vector<JournalRecord> records = ReadJournal(layout.journal());
  for (const JournalRecord& record : records) {
    if (record.kind == JournalRecord::kCommit) {
      layout.Discard();
      return {Recovery::kFinished, 0};
    }
  }
  const Undone undone = UndoRecorded(layout, records);
  if (!undone.whole) return {Recovery::kFailed, undone.restored};
  layout.Discard();
  return {Recovery::kRolledBack, undone.restored};
}
