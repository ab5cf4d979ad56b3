// The all-or-nothing install: every target the new tree replaces is moved
// aside into the work directory, the new tree is placed, and the backups are
// discarded; on failure what was placed goes and the backups come back. The
// journal lets the next run finish an install that was cut off.
#include <exception>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "install/install.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "install/install_plan.h"
#include "install/parallel_tasks.h"
#include "install/recovery.h"
#include "install/tree_placement.h"
#include "install/tree_removal.h"
#include "platform/directory_move.h"
#include "platform/file_system.h"
#include "platform/system_error.h"

namespace {

// An installed entry to move aside, and the number of its backup.
struct AsideMove {
  std::string relative;
  int backup = 0;
};

// One install, the only writer of its journal. Each group of steps is
// announced in the journal, and the journal flushed, before the first of
// them is taken; what was done is known from the disk, so completions need
// not be on disk before the next step.
class Transaction {
 public:
  Transaction(InstallLayout& layout, InstallFolders& folders, InstallOutcome& outcome)
      : layout_(layout), folders_(folders), journal_(layout.journal()), outcome_(outcome) {
    if (!journal_.ok()) Failed("journal", layout.journal());
  }

  // Announces the paths `plan` brings new, the targets it moves aside,
  // giving each of these its backup number, and all it places below them;
  // not yet flushed.
  bool Announce(const InstallPlan& plan, std::vector<AsideMove>& replaced, std::vector<AsideMove>& swapped) {
    if (!Note({JournalRecord::kListing, 0, {}}) || !AnnounceNew(plan.added) ||
        !AnnounceAside(plan.replaced, replaced) || !AnnounceAside(plan.swapped, swapped)) {
      return false;
    }
    for (const std::string& relative : plan.placed) {
      if (!Note({JournalRecord::kPlaced, 0, relative})) return false;
    }
    for (const auto& folder : plan.folders) {
      if (folder.second.link && !Note({JournalRecord::kLinked, 0, folder.first})) return false;
    }
    return true;
  }

  bool Flush() { return journal_.Flush() || Failed("journal", layout_.journal()); }

  // Moves the folders of `swapped` aside whole, spread over threads; those
  // the system would not move in one rename (Windows refuses while a file in
  // one is open) are planned again entry by entry from `updateDir`,
  // announced, and added to `replaced`.
  bool SwapAside(const std::vector<AsideMove>& swapped, std::vector<AsideMove>& replaced, const std::string& updateDir,
                 const std::string& dstPath) {
    std::vector<char> moved(swapped.size(), 0);
    RunInParallel(swapped.size(), /*stopAtFailure=*/false, [&](std::size_t i) {
      moved[i] = MoveToBackup(swapped[i].relative, swapped[i].backup, 0);
      return moved[i] != 0;
    });
    if (!folders_.swapped().empty()) return false;
    bool announced = false;
    for (std::size_t i = 0; i < swapped.size(); ++i) {
      if (moved[i]) continue;
      InstallPlan merge;
      try {
        merge = PlanMerge(updateDir, dstPath, swapped[i].relative);
      } catch (const UnlistedFolder& unlisted) {
        outcome_.failedStep = {"plan", unlisted.path, unlisted.error};
        return false;
      }
      folders_.Add(merge.folders);
      if (!AnnounceNew(merge.added) || !AnnounceAside(merge.replaced, replaced)) return false;
      announced = true;
    }
    return !announced || Flush();
  }

  // Moves every target of `moves` aside to its backup, spread over threads;
  // those on another volume than the work directory (a linked folder's) go
  // to `crossing`. False once one failed, which the outcome names: no move
  // starts after it.
  bool MoveAside(const std::vector<AsideMove>& moves, std::vector<AsideMove>& crossing) {
    std::mutex failures;
    return RunInParallel(moves.size(), /*stopAtFailure=*/true, [&](std::size_t i) {
      const std::string target = layout_.Target(moves[i].relative);
      const std::string backup = layout_.Backup(moves[i].backup);
      if (MoveToBackup(moves[i].relative, moves[i].backup, 0)) return true;
      const int error = platform::LastSystemError();
      const std::lock_guard<std::mutex> lock(failures);
      if (platform::IsOtherVolumeError(error)) {
        crossing.push_back(moves[i]);
        return true;
      }
      outcome_.failedAsides.push_back({target, backup, error});
      return false;
    });
  }

  // Moves each target of `crossing` aside into the backup area of the
  // topmost folder of its path that lies on its volume (the rename says
  // which), each area and each move announced before it is taken.
  bool MoveAcross(const std::vector<AsideMove>& crossing) {
    for (const AsideMove& move : crossing) {
      const std::string target = layout_.Target(move.relative);
      int error = 0;
      bool moved = false;
      std::string backup;
      for (std::size_t end = move.relative.find(platform::kPathSeparator); end != std::string::npos;
           end = move.relative.find(platform::kPathSeparator, end + 1)) {
        const int area = AreaFor(move.relative.substr(0, end));
        if (area == 0) return false;
        const int number = nextInArea_[area]++;
        if (number % kBackupsPerFolder == 0 && !layout_.MakeBackupFolder(number, area, folders_)) {
          return Failed("backup folder", layout_.BackupFolderOf(number, area));
        }
        if (!Note({JournalRecord::kArea, area, layout_.AreaIn(move.relative.substr(0, end))}) ||
            !Note({JournalRecord::kMoveAside, number, move.relative}) || !Flush()) {
          return false;
        }
        backup = layout_.Backup(number, area);
        moved = MoveToBackup(move.relative, number, area);
        error = platform::LastSystemError();
        if (moved || !platform::IsOtherVolumeError(error)) break;
      }
      if (!moved) {
        outcome_.failedAsides.push_back({target, backup, error});
        return false;
      }
    }
    return true;
  }

  // Places the new tree; the outcome names what it could not move or copy.
  bool Place(const std::string& updateDir) {
    Placement placement = PlaceTreeInto(updateDir, folders_);
    outcome_.failedMoves = std::move(placement.failedMoves);
    outcome_.failedCopies = std::move(placement.failedCopies);
    return placement.whole && folders_.swapped().empty();
  }

  bool Commit() { return Note({JournalRecord::kCommit, 0, {}}) && Flush(); }

  int BackupsNumbered() const { return nextBackup_; }

  // Closes the journal and undoes what it announced and the disk shows done.
  Undone Abort() {
    journal_.Close();
    return UndoRecorded(layout_, ReadJournal(layout_.journal()).records, folders_);
  }

  void Close() { journal_.Close(); }

 private:
  // Notes that `step` failed on `path`, with the system's code, unless a
  // failure is noted already; false.
  bool Failed(const char* step, const std::string& path) {
    if (outcome_.failedStep.step.empty()) outcome_.failedStep = {step, path, platform::LastSystemError()};
    return false;
  }

  // Renames the installed `relative` to backup `number` of area `area`,
  // from the folder that holds it as the plan met it.
  bool MoveToBackup(const std::string& relative, int number, int area) const {
    std::string name;
    const platform::FolderHandle parent = folders_.OpenParent(relative, name);
    return parent.Rename(name, layout_.OpenBackupFolder(number, area, folders_), InstallLayout::BackupName(number));
  }

  bool Note(const JournalRecord& record) { return journal_.Add(record) || Failed("journal", layout_.journal()); }

  bool AnnounceNew(const std::vector<std::string>& added) {
    for (const std::string& relative : added) {
      if (!Note({JournalRecord::kNew, 0, relative})) return false;
    }
    return true;
  }

  // Announces moving each of `relative` aside under the next backup numbers.
  bool AnnounceAside(const std::vector<std::string>& relative, std::vector<AsideMove>& moves) {
    for (const std::string& path : relative) {
      if (nextBackup_ % kBackupsPerFolder == 0 && !NewBackupFolder()) return false;
      moves.push_back({path, nextBackup_++});
      if (!Note({JournalRecord::kMoveAside, moves.back().backup, path})) return false;
    }
    return true;
  }

  // The area in the installation's folder `folder`, announced and made the
  // first time; 0 when it cannot be.
  int AreaFor(const std::string& folder) {
    const auto known = areas_.find(folder);
    if (known != areas_.end()) return known->second;
    const int area = static_cast<int>(areas_.size()) + 1;
    const std::string relative = layout_.AreaIn(folder);
    layout_.SetArea(area, relative);
    // Announced before it is made, so that a run cut off meanwhile leaves
    // nothing the next run does not know of.
    if (!Note({JournalRecord::kArea, area, relative}) || !Flush()) return 0;
    if (!layout_.MakeArea(area, folder, folders_)) {
      Failed("backup folder", layout_.AreaDir(area));
      return 0;
    }
    areas_[folder] = area;
    return area;
  }

  // Makes the folder of the next backup numbers. One that an earlier
  // install could not delete is passed over, so that every backup this
  // install's journal names is its own.
  bool NewBackupFolder() {
    while (!layout_.MakeBackupFolder(nextBackup_, 0, folders_)) {
      const std::string folder = layout_.BackupFolderOf(nextBackup_);
      const int error = platform::LastSystemError();
      if (!StandsAt(folder)) {
        outcome_.failedStep = {"backup folder", folder, error};
        return false;
      }
      nextBackup_ += kBackupsPerFolder;
    }
    return true;
  }

  InstallLayout& layout_;
  InstallFolders& folders_;
  InstallJournal journal_;
  InstallOutcome& outcome_;
  int nextBackup_ = 0;
  std::map<std::string, int> areas_;  ///< by the folder they are in
  std::map<int, int> nextInArea_;
};

// Announces every step, moves every target aside, places the new tree and
// commits; false at the first step that fails.
bool MoveAsideAndPlace(Transaction& transaction, const InstallPlan& plan, const std::string& updateDir,
                       const std::string& dstPath) {
  std::vector<AsideMove> replaced;
  std::vector<AsideMove> swapped;
  std::vector<AsideMove> crossing;
  return transaction.Announce(plan, replaced, swapped) && transaction.Flush() &&
         transaction.SwapAside(swapped, replaced, updateDir, dstPath) && transaction.MoveAside(replaced, crossing) &&
         transaction.MoveAcross(crossing) && transaction.Place(updateDir) && transaction.Commit();
}

}  // namespace

InstallOutcome InstallTree(const std::string& updateDir, const std::string& dstPath, const std::string& workDir) {
  InstallOutcome outcome;
  InstallPlan plan;
  try {
    plan = PlanInstall(updateDir, dstPath, workDir);
  } catch (const UnlistedFolder& unlisted) {
    outcome.failedStep = {"plan", unlisted.path, unlisted.error};
  } catch (const std::exception&) {
    outcome.failedStep = {"plan", updateDir, 0};
  }
  outcome.restored = true;  // until something is touched
  if (!outcome.failedStep.step.empty()) return outcome;
  InstallLayout layout(dstPath, workDir);
  // Leftovers of an earlier install that could not be deleted then.
  RemoveTreeIn(platform::FolderHandle::Open(workDir), kBackupDirName);
  if (!platform::MakeDirectory(layout.backupDir())) {
    const int error = platform::LastSystemError();
    if (!platform::IsExistingDirectory(layout.backupDir())) {
      outcome.failedStep = {"backup folder", layout.backupDir(), error};
      return outcome;
    }
  }

  InstallFolders folders(dstPath, plan.folders);
  Transaction transaction(layout, folders, outcome);
  if (MoveAsideAndPlace(transaction, plan, updateDir, dstPath)) {
    transaction.Close();
    layout.Discard(folders, transaction.BackupsNumbered());
    outcome.installed = true;
    return outcome;
  }
  Undone undone = transaction.Abort();
  outcome.swapped = folders.swapped();
  // What could not move through the swapped folder says nothing more.
  if (!outcome.swapped.empty()) {
    outcome.failedAsides.clear();
    outcome.failedMoves.clear();
  }
  if (undone.whole) layout.Discard(folders);
  outcome.restored = undone.whole;
  outcome.restoredCount = undone.restored;
  outcome.kept = std::move(undone.kept);
  return outcome;
}
