// The all-or-nothing install: every target the new tree replaces is moved
// aside into the work directory, the new tree is placed, and the backups are
// discarded; on failure what was placed goes and the backups come back. The
// journal lets the next run finish an install that was cut off.
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "install/install.h"
#include "install/install_journal.h"
#include "install/install_layout.h"
#include "install/install_paths.h"
#include "install/install_plan.h"
#include "install/journal_writer.h"
#include "install/moves_aside.h"
#include "install/recovery.h"
#include "install/tree_placement.h"
#include "install/tree_removal.h"
#include "platform/file_system.h"
#include "platform/system_error.h"

namespace {

// One install: its journal's only writer, its moves aside, its placing.
class Transaction {
 public:
  Transaction(InstallLayout& layout, InstallFolders& folders)
      : layout_(layout), folders_(folders), journal_(layout, folders), aside_(layout, folders, journal_) {}

  // Announces every step, moves every target aside, places the new tree
  // from `updateDir` and commits; the outcome says whether all of it was
  // done, or why not.
  InstallOutcome Run(const InstallPlan& plan, const std::string& updateDir, const std::string& dstPath,
                     const std::vector<std::string>* ownLinks) {
    InstallOutcome outcome;
    outcome.installed = MoveAsideAndPlace(plan, updateDir, dstPath, ownLinks, outcome);
    outcome.failedStep = journal_.failedStep();
    if (journal_.linked()) outcome.linkAtOwnName = layout_.journal();
    return outcome;
  }

  int backupsNumbered() const { return journal_.backupsNumbered(); }

  void Close() { journal_.Close(); }

  // Closes the journal and undoes what it announced and the disk shows done;
  // nothing was done without one.
  Undone Abort() {
    journal_.Close();
    if (!journal_.made()) return {true, 0, {}, {}, {}};
    return UndoJournal(layout_, ReadJournal(layout_.journal()), folders_);
  }

 private:
  // False at the first step that fails; `outcome` gets what could not move.
  bool MoveAsideAndPlace(const InstallPlan& plan, const std::string& updateDir, const std::string& dstPath,
                         const std::vector<std::string>* ownLinks, InstallOutcome& outcome) {
    std::optional<AnnouncedPlan> announced = journal_.AnnouncePlan(plan);
    if (!announced || !journal_.Flush()) return false;
    const std::vector<std::string> notMovedWhole = aside_.MoveWhole(announced->movedWhole);
    if (!folders_.swappedSincePlan().empty()) return false;
    std::optional<std::vector<AsideMove>> merged = PlanEntryByEntry(notMovedWhole, updateDir, dstPath);
    if (!merged) return false;
    std::vector<AsideMove>& replaced = announced->replaced;
    replaced.insert(replaced.end(), merged->begin(), merged->end());
    AsideResult aside = aside_.MoveAside(replaced);
    if (aside.moved) {
      AsideResult across = aside_.MoveAcross(aside.crossing);
      aside.moved = across.moved;
      aside.failed.insert(aside.failed.end(), across.failed.begin(), across.failed.end());
    }
    outcome.failedAsides = std::move(aside.failed);
    if (!aside.moved) return false;
    Placement placement = PlaceTreeInto(updateDir, folders_, ownLinks);
    outcome.failedMoves = std::move(placement.failedMoves);
    outcome.refusedLinks = std::move(placement.refusedLinks);
    outcome.failedCopies = std::move(placement.failedCopies);
    return placement.whole && folders_.swappedSincePlan().empty() && journal_.Commit();
  }

  // The folders of `notMovedWhole`, which the system would not move aside
  // whole, planned again entry by entry from `updateDir` and announced: the
  // moves aside of their targets; nothing when a step failed.
  std::optional<std::vector<AsideMove>> PlanEntryByEntry(const std::vector<std::string>& notMovedWhole,
                                                         const std::string& updateDir, const std::string& dstPath) {
    std::vector<AsideMove> replaced;
    for (const std::string& relative : notMovedWhole) {
      InstallPlan merge;
      try {
        merge = PlanMerge(updateDir, dstPath, relative);
      } catch (const UnlistedFolder& unlisted) {
        journal_.Failed({InstallStep::kPlan, unlisted.path, unlisted.error});
        return std::nullopt;
      }
      folders_.Add(merge.folders);
      if (!journal_.AnnounceNew(merge.added)) return std::nullopt;
      std::optional<std::vector<AsideMove>> moves = journal_.AnnounceAside(merge.replaced);
      if (!moves) return std::nullopt;
      replaced.insert(replaced.end(), moves->begin(), moves->end());
    }
    if (!notMovedWhole.empty() && !journal_.Flush()) return std::nullopt;
    return replaced;
  }

  InstallLayout& layout_;
  InstallFolders& folders_;
  JournalWriter journal_;
  MovesAside aside_;
};

// The plan of installing `updateDir` into `dstPath`; a failed step when the
// new tree cannot be walked.
FailedStep Plan(const std::string& updateDir, const std::string& dstPath, const std::string& workDir,
                InstallPlan& plan) {
  try {
    plan = PlanInstall(updateDir, dstPath, workDir);
  } catch (const UnlistedFolder& unlisted) {
    return {InstallStep::kPlan, unlisted.path, unlisted.error};
  } catch (const std::exception&) {
    return {InstallStep::kPlan, updateDir, 0};
  }
  return {};
}

}  // namespace

InstallOutcome InstallTree(const std::string& updateDir, const std::string& dstPath, const std::string& workDir,
                           const std::vector<std::string>* madeLinks) {
  std::vector<std::string> ownLinks;
  if (madeLinks != nullptr) {
    for (const std::string& link : *madeLinks) ownLinks.push_back(JoinNames(NamesBelowUpdate(link)));
  }
  InstallOutcome outcome;
  InstallPlan plan;
  outcome.failedStep = Plan(updateDir, dstPath, workDir, plan);
  outcome.rolledBack = true;  // until something is touched
  if (outcome.failedStep.step != InstallStep::kNone) return outcome;
  InstallLayout layout(dstPath, workDir);
  // Leftovers of an earlier install that could not be deleted then.
  RemoveTreeIn(layout.OpenWorkDir(), kBackupDirName);
  if (!platform::MakeDirectory(layout.backupDir())) {
    const int error = platform::LastSystemError();
    if (!platform::IsExistingDirectory(layout.backupDir())) {
      outcome.failedStep = {InstallStep::kBackupFolder, layout.backupDir(), error};
      return outcome;
    }
  }

  InstallFolders folders(dstPath, plan.folders);
  Transaction transaction(layout, folders);
  outcome = transaction.Run(plan, updateDir, dstPath, madeLinks != nullptr ? &ownLinks : nullptr);
  if (outcome.installed) {
    transaction.Close();
    layout.Discard(folders, transaction.backupsNumbered());
    return outcome;
  }
  Undone undone = transaction.Abort();
  outcome.swappedSincePlan = folders.swappedSincePlan();
  // What could not move through the swapped folder says nothing more.
  if (!outcome.swappedSincePlan.empty()) {
    outcome.failedAsides.clear();
    outcome.failedMoves.clear();
  }
  // What was put back is on the disk before the journal goes.
  std::string unflushed;
  if (undone.whole && layout.FlushToDisk(unflushed)) layout.Discard(folders);
  outcome.rolledBack = undone.whole;
  outcome.restoredCount = undone.restoredCount;
  outcome.kept = std::move(undone.kept);
  outcome.undoFailures = std::move(undone.failures);
  outcome.untrusted = std::move(undone.untrusted);
  return outcome;
}
