// One install's journal as it is written: each group of steps is announced,
// and the journal flushed, before the first of them is taken; what was done
// is known from the disk, so completions need not be on disk before the
// next step. The writer also gives out the backup numbers and notes the
// first step of the install that failed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "install/install.h"
#include "install/install_folders.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "install/install_plan.h"

/// An installed entry to move aside, and the number of its backup.
struct AsideMove {
  std::string relative;
  int number = 0;
};

/// The moves aside a plan announced: targets moved aside one by one, and
/// folders moved aside whole.
struct AnnouncedPlan {
  std::vector<AsideMove> replaced;
  std::vector<AsideMove> movedWhole;
};

class JournalWriter {
 public:
  /// Creates `layout`'s journal, this run's own (a file standing at its name
  /// fails it); the backup folders are made as `folders` opens the
  /// installation's folders.
  JournalWriter(const InstallLayout& layout, const InstallFolders& folders);

  /// Announces the paths `plan` brings new, the targets it moves aside,
  /// giving each of these its backup number, and all it places below them;
  /// not yet flushed. Nothing when the journal could not take it.
  std::optional<AnnouncedPlan> AnnouncePlan(const InstallPlan& plan);
  /// Announces each of `added` as new.
  bool AnnounceNew(const std::vector<std::string>& added);
  /// Announces moving each of `relative` aside under the next backup
  /// numbers, making their folders first.
  std::optional<std::vector<AsideMove>> AnnounceAside(const std::vector<std::string>& relative);
  /// Adds `record` to the journal.
  bool Note(const JournalRecord& record);
  /// Puts what was added on the disk, and with it everything written so far
  /// (the backup folders, the journal's own entry in its folder).
  bool Flush();
  /// Announces that the new version is whole, once all of it is on the disk;
  /// the announcement is on the disk before any backup goes.
  bool Commit() { return FlushVolumes() && Note({JournalRecord::kCommit, 0, {}}) && FlushJournal(); }
  /// Closes the journal, so that it can be read back and deleted.
  void Close() { journal_.Close(); }

  /// False when the journal could not be made: nothing was announced.
  bool made() const { return made_; }
  /// True when the journal could not be made because a link stands at its
  /// name, which nothing followed.
  bool linked() const { return linked_; }

  /// How many backup numbers of the work directory's area were given out.
  int backupsNumbered() const { return nextBackup_; }

  /// Notes that `step` failed on `path`, with the system's code, unless a
  /// failure is noted already; false.
  bool Failed(InstallStep step, const std::string& path);
  /// Notes `failed` unless a failure is noted already; false.
  bool Failed(const FailedStep& failed);
  /// The first step that failed; its step kNone when none did.
  const FailedStep& failedStep() const { return failedStep_; }

 private:
  bool NewBackupFolder();
  bool FlushJournal();
  bool FlushVolumes();

  const InstallLayout& layout_;
  const InstallFolders& folders_;
  InstallJournal journal_;
  FailedStep failedStep_;
  int nextBackup_ = 0;
  bool made_ = false;
  bool linked_ = false;
};
