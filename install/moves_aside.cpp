// Moving the installed targets aside to their backups.
#include "install/moves_aside.h"

#include <mutex>

#include "install/held_retry.h"
#include "install/parallel_tasks.h"
#include "platform/directory_move.h"
#include "platform/file_system.h"
#include "platform/folder_handle.h"
#include "platform/system_error.h"

MovesAside::MovesAside(InstallLayout& layout, const InstallFolders& folders, JournalWriter& journal)
    : layout_(layout), folders_(folders), journal_(journal) {}

std::vector<std::string> MovesAside::MoveWhole(const std::vector<AsideMove>& movedWhole) const {
  std::vector<char> moved(movedWhole.size(), 0);
  RunInParallel(movedWhole.size(), /*stopAtFailure=*/false, [&](std::size_t i) {
    moved[i] = MoveToBackup(movedWhole[i].relative, movedWhole[i].number, 0);
    return moved[i] != 0;
  });
  std::vector<std::string> left;
  for (std::size_t i = 0; i < movedWhole.size(); ++i) {
    if (!moved[i]) left.push_back(movedWhole[i].relative);
  }
  return left;
}

AsideResult MovesAside::MoveAside(const std::vector<AsideMove>& moves) const {
  AsideResult result;
  std::mutex failures;
  result.moved = RunInParallel(moves.size(), /*stopAtFailure=*/true, [&](std::size_t i) {
    const std::string target = layout_.Target(moves[i].relative);
    const std::string backup = layout_.Backup(moves[i].number);
    if (RetryWhileHeld(target, [&] { return MoveToBackup(moves[i].relative, moves[i].number, 0); })) return true;
    const int error = platform::LastSystemError();
    const std::lock_guard<std::mutex> lock(failures);
    if (platform::IsOtherVolumeError(error)) {
      result.crossing.push_back(moves[i]);
      return true;
    }
    result.failed.push_back({target, backup, error});
    return false;
  });
  return result;
}

AsideResult MovesAside::MoveAcross(const std::vector<AsideMove>& crossing) {
  AsideResult result;
  for (const AsideMove& move : crossing) {
    const std::string target = layout_.Target(move.relative);
    int error = 0;
    bool moved = false;
    std::string backup;
    for (std::size_t end = move.relative.find(platform::kPathSeparator); end != std::string::npos;
         end = move.relative.find(platform::kPathSeparator, end + 1)) {
      const int area = AreaFor(move.relative.substr(0, end));
      result.moved = area != 0;
      if (!result.moved) return result;
      const int number = nextInArea_[area]++;
      if (number % kBackupsPerFolder == 0 && !layout_.MakeBackupFolder(number, area, folders_)) {
        result.moved = journal_.Failed(InstallStep::kBackupFolder, layout_.BackupFolderOf(number, area));
        return result;
      }
      result.moved = journal_.Note({JournalRecord::kArea, area, layout_.AreaIn(move.relative.substr(0, end))}) &&
                     journal_.Note({JournalRecord::kMoveAside, number, move.relative}) && journal_.Flush();
      if (!result.moved) return result;
      backup = layout_.Backup(number, area);
      moved = RetryWhileHeld(target, [&] { return MoveToBackup(move.relative, number, area); });
      error = platform::LastSystemError();
      if (moved || !platform::IsOtherVolumeError(error)) break;
    }
    if (!moved) {
      result.moved = false;
      result.failed.push_back({target, backup, error});
      return result;
    }
  }
  return result;
}

// Renames the installed `relative` to backup `number` of area `area`, from
// the folder that holds it as the plan met it.
bool MovesAside::MoveToBackup(const std::string& relative, int number, int area) const {
  std::string name;
  const platform::FolderHandle parent = folders_.OpenParent(relative, name);
  return parent.Rename(name, layout_.OpenBackupFolder(number, area, folders_), InstallLayout::BackupName(number));
}

// The area in the installation's folder `folder`, announced and made the
// first time; 0 when it cannot be.
int MovesAside::AreaFor(const std::string& folder) {
  const auto known = areas_.find(folder);
  if (known != areas_.end()) return known->second;
  const int area = static_cast<int>(areas_.size()) + 1;
  const std::string relative = layout_.AreaIn(folder);
  layout_.SetArea(area, relative);
  // Announced before it is made, so that a run cut off meanwhile leaves
  // nothing the next run does not know of.
  if (!journal_.Note({JournalRecord::kArea, area, relative}) || !journal_.Flush()) return 0;
  if (!layout_.MakeArea(area, folder, folders_)) {
    journal_.Failed(InstallStep::kBackupFolder, layout_.AreaDir(area));
    return 0;
  }
  areas_[folder] = area;
  return area;
}
