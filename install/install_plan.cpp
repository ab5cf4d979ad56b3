// What an install will do to the installation.
#include "install/install_plan.h"
#include "install/install_paths.h"

#include <algorithm>
#include <utility>

#include "install/install.h"
#include "install/tree_removal.h"
#include "platform/directory_listing.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/folder_traits.h"
#include "platform/symbolic_link.h"
#include "platform/system_error.h"

namespace {

using platform::DirectoryEntry;
using platform::EntryType;

bool ByName(const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; }

// The installed entries of one folder, looked up by their exact names: a
// name that matches only as Windows compares names keeps a folder from
// moving whole, so the installation's spelling is never lost.
class InstalledEntries {
 public:
  explicit InstalledEntries(std::vector<DirectoryEntry> entries) : entries_(std::move(entries)) {
    std::sort(entries_.begin(), entries_.end(), ByName);
  }

  // The type of the entry `name`; kMissing when none has that exact name.
  EntryType TypeOf(const std::string& name) const {
    const auto found =
        std::lower_bound(entries_.begin(), entries_.end(), name,
                         [](const DirectoryEntry& entry, const std::string& key) { return entry.name < key; });
    return found != entries_.end() && found->name == name ? found->type : EntryType::kMissing;
  }

  std::size_t size() const { return entries_.size(); }

 private:
  std::vector<DirectoryEntry> entries_;
};

class Planner {
 public:
  Planner(const std::string& targetDir, const std::string& workDir, bool wholeMoves, InstallPlan& plan)
      : targetDir_(targetDir), workDir_(workDir), wholeMoves_(wholeMoves), plan_(plan) {}

  // Plans the entries of the folder `source`, which lands at `relative`
  // (empty: the installation itself). True when each installed entry there
  // has a namesake in `source` and goes aside whole: the folder itself may
  // then move whole. A link is placed as a link, so it is planned as a file
  // whatever it leads to.
  bool Entries(const std::string& source, const std::string& relative) {
    std::vector<DirectoryEntry> entries;
    if (!platform::ListDirectory(source, entries)) throw UnlistedFolder(source, platform::LastSystemError());
    std::vector<DirectoryEntry> listed;
    const bool movable = wholeMoves_ && platform::ListDirectory(Target(relative), listed);
    const InstalledEntries installed(std::move(listed));
    std::size_t matched = 0;
    bool whole = true;
    for (const DirectoryEntry& entry : entries) {
      const EntryType installedType = installed.TypeOf(entry.name);
      if (installedType != EntryType::kMissing) ++matched;
      if (entry.type == EntryType::kDirectory) {
        whole = Folder(JoinPath(source, entry.name), JoinPath(relative, entry.name), installedType) && whole;
      } else {
        Place(JoinPath(relative, entry.name), installedType);
      }
    }
    return movable && whole && matched == installed.size();
  }

  // A folder is merged into a folder of its name (a linked one too), and
  // replaces anything else standing there. True when what stands there goes
  // aside whole.
  bool Folder(const std::string& source, const std::string& relative, EntryType installedType) {
    const std::string target = Target(relative);
    if (installedType != EntryType::kDirectory && !platform::IsExistingDirectory(target)) {
      (installedType != EntryType::kMissing || StandsAt(target) ? plan_.replaced : plan_.added).push_back(relative);
      return true;
    }
    const std::size_t replaced = plan_.replaced.size();
    const std::size_t added = plan_.added.size();
    const std::size_t movedWhole = plan_.movedWhole.size();
    const bool link = installedType == EntryType::kLink;
    plan_.folders[relative] = {platform::FileIdentity(target).value, link,
                               link ? platform::LinkText(target).value : std::string()};
    if (!Entries(source, relative) || installedType != EntryType::kDirectory || !MovesWhole(source, relative, target)) {
      return false;
    }
    // Its namesake takes its place: nothing is written into it or below it.
    const std::string below = relative + platform::kPathSeparator;
    plan_.folders.erase(relative);
    plan_.folders.erase(plan_.folders.lower_bound(below), plan_.folders.lower_bound(below + '\xff'));
    plan_.replaced.resize(replaced);
    plan_.added.resize(added);
    plan_.movedWhole.resize(movedWhole);
    plan_.movedWhole.push_back(relative);
    return true;
  }

 private:
  // The updater's own file is never placed at the top, so never moved aside.
  // What the listing of the installed folder already shows is not asked
  // again; a name it lacks may still be there as Windows compares names.
  void Place(const std::string& relative, EntryType installedType) {
    if (relative.find(platform::kPathSeparator) != std::string::npos || !IsUpdaterOwnFile(relative)) {
      const bool stands = installedType != EntryType::kMissing || StandsAt(Target(relative));
      (stands ? plan_.replaced : plan_.added).push_back(relative);
    }
  }

  // The work directory holds the new tree and the backups: nothing of it
  // moves whole, whatever an archive brings below a folder of its name.
  bool MovesWhole(const std::string& source, const std::string& relative, const std::string& target) const {
    if (platform::IsSameFile(Target(relative.substr(0, relative.find(platform::kPathSeparator))), workDir_)) {
      return false;
    }
    const platform::SystemRead<std::string> traits = platform::FolderTraits(target);
    return traits.ok() && traits.value == platform::FolderTraits(source).value;
  }

  std::string Target(const std::string& relative) const {
    return relative.empty() ? targetDir_ : JoinPath(targetDir_, relative);
  }

  const std::string& targetDir_;
  const std::string workDir_;
  const bool wholeMoves_;
  InstallPlan& plan_;
};

// Lists every entry below the folder `source`, which lands at `relative`,
// into `placed`, each folder's names in order: the journal writes each
// path as what it adds to the one before.
void ListBelow(const std::string& source, const std::string& relative, std::vector<std::string>& placed) {
  std::vector<DirectoryEntry> entries;
  if (!platform::ListDirectory(source, entries)) throw UnlistedFolder(source, platform::LastSystemError());
  std::sort(entries.begin(), entries.end(), ByName);
  for (const DirectoryEntry& entry : entries) {
    const std::string below = JoinPath(relative, entry.name);
    placed.push_back(below);
    if (entry.type == EntryType::kDirectory) ListBelow(JoinPath(source, entry.name), below, placed);
  }
}

// Fills `plan.placed` from the new tree `sourceDir`.
void ListPlaced(const std::string& sourceDir, InstallPlan& plan) {
  for (const std::vector<std::string>* paths : {&plan.added, &plan.replaced, &plan.movedWhole}) {
    for (const std::string& relative : *paths) {
      const std::string source = JoinPath(sourceDir, relative);
      if (platform::EntryTypeOf(source) == EntryType::kDirectory) ListBelow(source, relative, plan.placed);
    }
  }
}

}  // namespace

InstallPlan PlanInstall(const std::string& sourceDir, const std::string& targetDir, const std::string& workDir) {
  InstallPlan plan;
  plan.folders[{}] = {platform::FileIdentity(targetDir).value, false};
  Planner(targetDir, workDir, /*wholeMoves=*/true, plan).Entries(sourceDir, {});
  ListPlaced(sourceDir, plan);
  return plan;
}

InstallPlan PlanMerge(const std::string& sourceDir, const std::string& targetDir, const std::string& relative) {
  InstallPlan plan;
  plan.folders[relative] = {platform::FileIdentity(JoinPath(targetDir, relative)).value, false};
  Planner(targetDir, /*workDir=*/{}, /*wholeMoves=*/false, plan).Entries(JoinPath(sourceDir, relative), relative);
  return plan;
}
