// One install's journal as it is written, and the backup numbers.
#include "install/journal_writer.h"

#include "install/tree_removal.h"
#include "platform/file_copy.h"
#include "platform/system_error.h"

JournalWriter::JournalWriter(const InstallLayout& layout, const InstallFolders& folders)
    : layout_(layout), folders_(folders), journal_(layout.OpenWorkDir().MakeFile(kJournalName)) {
  made_ = journal_.ok();
  if (made_) return;
  Failed(InstallStep::kJournal, layout.journal());
  linked_ = layout.OpenWorkDir().HoldsLink(kJournalName);
}

std::optional<AnnouncedPlan> JournalWriter::AnnouncePlan(const InstallPlan& plan) {
  AnnouncedPlan announced;
  if (!Note({JournalRecord::kListing, 0, {}}) || !Note({JournalRecord::kCopies, 0, platform::CopyToken()}) ||
      !AnnounceNew(plan.added)) {
    return std::nullopt;
  }
  std::optional<std::vector<AsideMove>> replaced = AnnounceAside(plan.replaced);
  if (!replaced) return std::nullopt;
  std::optional<std::vector<AsideMove>> movedWhole = AnnounceAside(plan.movedWhole);
  if (!movedWhole) return std::nullopt;
  for (const std::string& relative : plan.placed) {
    if (!Note({JournalRecord::kPlaced, 0, relative})) return std::nullopt;
  }
  for (const auto& folder : plan.folders) {
    if (folder.second.link && !Note({JournalRecord::kLinked, 0, folder.first, 0, folder.second.linkText})) {
      return std::nullopt;
    }
  }
  return AnnouncedPlan{std::move(*replaced), std::move(*movedWhole)};
}

bool JournalWriter::AnnounceNew(const std::vector<std::string>& added) {
  for (const std::string& relative : added) {
    if (!Note({JournalRecord::kNew, 0, relative})) return false;
  }
  return true;
}

std::optional<std::vector<AsideMove>> JournalWriter::AnnounceAside(const std::vector<std::string>& relative) {
  std::vector<AsideMove> moves;
  for (const std::string& path : relative) {
    if (nextBackup_ % kBackupsPerFolder == 0 && !NewBackupFolder()) return std::nullopt;
    moves.push_back({path, nextBackup_++});
    if (!Note({JournalRecord::kMoveAside, moves.back().number, path})) return std::nullopt;
  }
  return moves;
}

bool JournalWriter::Note(const JournalRecord& record) {
  return journal_.Add(record) || Failed(InstallStep::kJournal, layout_.journal());
}

bool JournalWriter::Flush() { return FlushJournal() && FlushVolumes(); }

bool JournalWriter::FlushJournal() { return journal_.Flush() || Failed(InstallStep::kJournal, layout_.journal()); }

bool JournalWriter::FlushVolumes() {
  std::string unflushed;
  return layout_.FlushToDisk(unflushed) || Failed(InstallStep::kFlush, unflushed);
}

bool JournalWriter::Failed(InstallStep step, const std::string& path) {
  const int error = platform::LastSystemError();
  return Failed({step, path, error});
}

bool JournalWriter::Failed(const FailedStep& failed) {
  if (failedStep_.step == InstallStep::kNone) failedStep_ = failed;
  return false;
}

// Makes the folder of the next backup numbers. One that an earlier install
// could not delete is passed over, so that every backup this install's
// journal names is its own.
bool JournalWriter::NewBackupFolder() {
  while (!layout_.MakeBackupFolder(nextBackup_, 0, folders_)) {
    const std::string folder = layout_.BackupFolderOf(nextBackup_);
    const int error = platform::LastSystemError();
    if (!StandsAt(folder)) return Failed({InstallStep::kBackupFolder, folder, error});
    nextBackup_ += kBackupsPerFolder;
  }
  return true;
}
