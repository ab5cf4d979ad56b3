// The all-or-nothing install and the recovery of a cut-off one.
//
// Recovery trusts the journal only together with the disk: an "aside" record
// whose backup exists means the old entry is in the backup (whatever stands
// at the target is new or half-placed), and one without its backup means the
// rename never happened (the target is still the old entry). A "new" record
// names a path that was free before the install, so whatever stands there
// was placed by it. A "commit" record means the new version is whole.
#include "UpGrade/install_transaction.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "UpGrade/file_operations.h"
#include "UpGrade/install_journal.h"
#include "UpGrade/install_plan.h"
#include "UpGrade/log_lines.h"
#include "UpGrade/spread_steps.h"
#include "UpGrade/tree_removal.h"
#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/file_open.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "log/log.h"

namespace {

// Backups are spread over numbered folders of this many: Wine looks up a
// name that is not there yet (every backup's) by reading its whole folder.
constexpr int kBackupsPerFolder = 256;

std::string BackupFolder(const std::string& backupDir, int number) {
  return backupDir + platform::kPathSeparator + std::to_string(number / kBackupsPerFolder);
}

std::string BackupIn(const std::string& backupDir, int number) {
  return BackupFolder(backupDir, number) + platform::kPathSeparator + std::to_string(number % kBackupsPerFolder);
}

// Where one installation's install keeps its state.
class Layout {
 public:
  Layout(const std::string& dstPath, const std::string& workDir)
      : dstPath_(dstPath),
        journal_(workDir + platform::kPathSeparator + kJournalName),
        backupDir_(workDir + platform::kPathSeparator + kBackupDirName) {}

  const std::string& journal() const { return journal_; }
  const std::string& backupDir() const { return backupDir_; }
  std::string Target(const std::string& relative) const { return dstPath_ + platform::kPathSeparator + relative; }
  std::string Backup(int number) const { return BackupIn(backupDir_, number); }
  std::string BackupFolderOf(int number) const { return BackupFolder(backupDir_, number); }

  // Drops the backups, the first `numbered` of them spread over threads, and
  // then the journal; a backup that cannot be deleted now is deleted by a
  // later run.
  void Discard(int numbered = 0) const {
    SpreadSteps(static_cast<std::size_t>(numbered), /*stopAtFailure=*/false, [this](std::size_t number) {
      const std::string backup = Backup(static_cast<int>(number));
      return platform::RemoveFile(backup) || RemoveTree(backup);
    });
    RemoveTree(backupDir_);
    platform::RemoveFile(journal_);
  }

 private:
  std::string dstPath_;
  std::string journal_;
  std::string backupDir_;
};

struct Rollback {
  bool whole = true;
  int restored = 0;
};

// Undoes the steps of `records`, newest first.
Rollback RollBack(const Layout& layout, const std::vector<JournalRecord>& records) {
  Rollback result;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind == JournalRecord::kNew && !RemoveTree(layout.Target(record->path))) result.whole = false;
  }
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (record->kind != JournalRecord::kAside) continue;
    const std::string backup = layout.Backup(record->backup);
    if (!StandsAt(backup)) continue;
    const std::string target = layout.Target(record->path);
    if (RemoveTree(target) && platform::RenameDirectory(backup, target)) {
      ++result.restored;
    } else {
      result.whole = false;
    }
  }
  return result;
}

// One install. Each group of steps is announced in the journal, and the
// journal flushed, before the first of them is taken; what was done is known
// from the disk, so completions need not be on disk before the next step.
class Transaction {
 public:
  explicit Transaction(const Layout& layout) : layout_(layout), journal_(layout.journal()) {}

  bool Note(const JournalRecord& record) { return journal_.Add(record); }
  bool Flush() { return journal_.Flush(); }

  // Announces moving `relative` aside and gives it the next backup number.
  bool NoteAside(const std::string& relative, int& number) {
    if (nextBackup_ % kBackupsPerFolder == 0 && !NewBackupFolder()) return false;
    number = nextBackup_++;
    return Note({JournalRecord::kAside, number, relative});
  }

  // Moves every target of `relative` aside to its backup of `numbers`; the
  // moves are spread over threads. False once one failed: no move starts
  // after it.
  bool MoveAside(const std::vector<std::string>& relative, const std::vector<int>& numbers) {
    std::vector<char> moved;
    const bool all = Rename(relative, numbers, /*stopAtFailure=*/true, moved);
    return NoteMoved(relative, numbers, moved) && all;
  }

  // Moves each folder of `relative` aside whole to its backup of `numbers`,
  // spread over threads, and gives back the folders the system would not
  // move in one rename (Windows refuses while a file in one is open).
  bool SwapAside(const std::vector<std::string>& relative, const std::vector<int>& numbers,
                 std::vector<std::string>& unmoved) {
    std::vector<char> moved;
    Rename(relative, numbers, /*stopAtFailure=*/false, moved);
    for (std::size_t i = 0; i < relative.size(); ++i) {
      if (!moved[i]) unmoved.push_back(relative[i]);
    }
    return NoteMoved(relative, numbers, moved);
  }

  int BackupsNumbered() const { return nextBackup_; }

  // Closes the journal and undoes what it announced and the disk shows done.
  Rollback Abort() {
    journal_.Close();
    return RollBack(layout_, ReadJournal(layout_.journal()));
  }

  void Close() { journal_.Close(); }

 private:
  // Makes the folder of the next backup numbers. One that an earlier
  // install could not delete is passed over, so that every backup this
  // install's journal names is its own.
  bool NewBackupFolder() {
    while (!platform::MakeDirectory(layout_.BackupFolderOf(nextBackup_))) {
      if (!StandsAt(layout_.BackupFolderOf(nextBackup_))) return false;
      nextBackup_ += kBackupsPerFolder;
    }
    return true;
  }

  // Renames each target of `relative` to its backup of `numbers`, spread
  // over threads; `moved` tells which did. A failure is logged where the
  // install stops at it.
  bool Rename(const std::vector<std::string>& relative, const std::vector<int>& numbers, bool stopAtFailure,
              std::vector<char>& moved) {
    moved.assign(relative.size(), 0);
    return SpreadSteps(relative.size(), stopAtFailure, [&](std::size_t i) {
      const std::string target = layout_.Target(relative[i]);
      const std::string backup = layout_.Backup(numbers[i]);
      moved[i] = platform::RenameDirectory(target, backup);
      if (!moved[i] && stopAtFailure) {
        LogFormatted(Error, kDriverLogSource, kAsideFailedLine, "Move Aside Source:%s, Backup:%s, error:%d",
                     target.c_str(), backup.c_str(), platform::LastSystemError());
      }
      return moved[i] != 0;
    });
  }

  // Notes the completion of each move of `moved`.
  bool NoteMoved(const std::vector<std::string>& relative, const std::vector<int>& numbers,
                 const std::vector<char>& moved) {
    for (std::size_t i = 0; i < relative.size(); ++i) {
      if (moved[i] && !Note({JournalRecord::kAsided, numbers[i], relative[i]})) return false;
    }
    return true;
  }

  const Layout& layout_;
  InstallJournal journal_;
  int nextBackup_ = 0;
};

// Announces the paths `plan` brings new and moves aside, numbering the
// backups of `replaced` and `swapped`; the caller flushes.
bool Announce(Transaction& transaction, const InstallPlan& plan, std::vector<int>& replaced,
              std::vector<int>& swapped) {
  for (const std::string& relative : plan.added) {
    if (!transaction.Note({JournalRecord::kNew, 0, relative})) return false;
  }
  replaced.resize(plan.replaced.size());
  for (std::size_t i = 0; i < plan.replaced.size(); ++i) {
    if (!transaction.NoteAside(plan.replaced[i], replaced[i])) return false;
  }
  swapped.resize(plan.swapped.size());
  for (std::size_t i = 0; i < plan.swapped.size(); ++i) {
    if (!transaction.NoteAside(plan.swapped[i], swapped[i])) return false;
  }
  return true;
}

// Moves the swapped folders aside whole; those the system would not move
// are planned again entry by entry, announced and added to `plan`'s moves.
bool SwapFoldersAside(Transaction& transaction, InstallPlan& plan, const std::vector<int>& swapped,
                      std::vector<int>& replaced, const std::string& updateDir, const std::string& dstPath) {
  std::vector<std::string> unmoved;
  if (!transaction.SwapAside(plan.swapped, swapped, unmoved)) return false;
  for (const std::string& folder : unmoved) {
    InstallPlan merge;
    try {
      merge = PlanMerge(updateDir, dstPath, folder);
    } catch (const std::exception&) {
      return false;
    }
    std::vector<int> numbers;
    std::vector<int> none;
    if (!Announce(transaction, merge, numbers, none)) return false;
    plan.replaced.insert(plan.replaced.end(), merge.replaced.begin(), merge.replaced.end());
    replaced.insert(replaced.end(), numbers.begin(), numbers.end());
  }
  return unmoved.empty() || transaction.Flush();
}

// Announces every step, moves every target aside, places the new tree and
// commits; false at the first step that fails.
bool RunSteps(Transaction& transaction, InstallPlan& plan, const std::string& updateDir, const std::string& dstPath) {
  std::vector<int> replaced;
  std::vector<int> swapped;
  if (!Announce(transaction, plan, replaced, swapped) || !transaction.Flush() ||
      !SwapFoldersAside(transaction, plan, swapped, replaced, updateDir, dstPath) ||
      !transaction.MoveAside(plan.replaced, replaced)) {
    return false;
  }
  return transaction.Note({JournalRecord::kPlace, 0, {}}) && transaction.Flush() && CopyTree(updateDir, dstPath) &&
         transaction.Note({JournalRecord::kCommit, 0, {}}) && transaction.Flush();
}

}  // namespace

InstallOutcome InstallTree(const std::string& updateDir, const std::string& dstPath, const std::string& workDir) {
  InstallPlan plan;
  try {
    plan = PlanInstall(updateDir, dstPath, workDir);
  } catch (const std::exception&) {
    return {};
  }
  const Layout layout(dstPath, workDir);
  // Leftovers of an earlier install that could not be deleted then.
  RemoveTree(layout.backupDir());
  if (!platform::MakeDirectory(layout.backupDir()) && !platform::IsExistingDirectory(layout.backupDir())) return {};

  Transaction transaction(layout);
  if (RunSteps(transaction, plan, updateDir, dstPath)) {
    transaction.Close();
    layout.Discard(transaction.BackupsNumbered());
    return {true, true, 0};
  }
  const Rollback rollback = transaction.Abort();
  if (rollback.whole) layout.Discard();
  return {false, rollback.whole, rollback.restored};
}

std::string BackupPath(const std::string& workDir, int number) {
  return BackupIn(workDir + platform::kPathSeparator + kBackupDirName, number);
}

RecoveryOutcome RecoverInstall(const std::string& dstPath, const std::string& workDir) {
  const Layout layout(dstPath, workDir);
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
  const Rollback rollback = RollBack(layout, records);
  if (!rollback.whole) return {Recovery::kFailed, rollback.restored};
  layout.Discard();
  return {Recovery::kRolledBack, rollback.restored};
}
