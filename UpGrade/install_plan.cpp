// What an install will do to the installation.
#include "UpGrade/install_plan.h"

#include <stdexcept>

#include "UpGrade/own_file.h"
#include "UpGrade/tree_removal.h"
#include "platform/directory_listing.h"
#include "platform/file_system.h"

namespace {

class Planner {
 public:
  Planner(const std::string& targetDir, InstallPlan& plan) : targetDir_(targetDir), plan_(plan) {}

  // A file replaces whatever stands at its place, a folder of the same name included.
  void File(const std::string& relative) {
    (StandsAt(Target(relative)) ? plan_.replaced : plan_.added).push_back(relative);
  }

  // A folder is merged into a folder of its name (a linked one too), and
  // replaces anything else standing there.
  void Folder(const std::string& source, const std::string& relative) {
    const std::string target = Target(relative);
    if (!platform::IsExistingDirectory(target)) {
      (StandsAt(target) ? plan_.replaced : plan_.added).push_back(relative);
      return;
    }
    Entries(source, relative + platform::kPathSeparator);
  }

  // The entries of the folder `source`, named below `prefix`. A link is
  // placed as a link, so it is planned as a file whatever it leads to.
  void Entries(const std::string& source, const std::string& prefix) {
    std::vector<platform::DirectoryEntry> entries;
    if (!platform::ListDirectory(source, entries)) throw std::runtime_error("cannot list " + source);
    for (const platform::DirectoryEntry& entry : entries) {
      if (entry.type == platform::EntryType::kDirectory) {
        Folder(source + platform::kPathSeparator + entry.name, prefix + entry.name);
      } else {
        Place(prefix + entry.name);
      }
    }
  }

 private:
  // The updater's own file is never placed at the top, so never moved aside.
  void Place(const std::string& relative) {
    if (relative.find(platform::kPathSeparator) != std::string::npos || !IsUpdaterOwnFile(relative)) File(relative);
  }

  std::string Target(const std::string& relative) const {
    return targetDir_ + platform::kPathSeparator + relative;
  }

  const std::string& targetDir_;
  InstallPlan& plan_;
};

}  // namespace

InstallPlan PlanInstall(const std::string& sourceDir, const std::string& targetDir) {
  InstallPlan plan;
  Planner planner(targetDir, plan);
  planner.Entries(sourceDir, "");
  return plan;
}
