// What an install will do to the installation.
#include "UpGrade/install_plan.h"

#include <dlib/dir_nav.h>

#include "UpGrade/own_file.h"
#include "UpGrade/tree_removal.h"
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
  void Folder(const dlib::directory& source, const std::string& relative) {
    const std::string target = Target(relative);
    if (!platform::IsExistingDirectory(target)) {
      (StandsAt(target) ? plan_.replaced : plan_.added).push_back(relative);
      return;
    }
    for (const dlib::file& file : source.get_files()) File(Join(relative, file.name()));
    for (const dlib::directory& sub : source.get_dirs()) Folder(sub, Join(relative, sub.name()));
  }

 private:
  static std::string Join(const std::string& relative, const std::string& name) {
    return relative + platform::kPathSeparator + name;
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
  const dlib::directory source(sourceDir);
  for (const dlib::directory& sub : source.get_dirs()) planner.Folder(sub, sub.name());
  for (const dlib::file& file : source.get_files()) {
    if (!IsUpdaterOwnFile(file.name())) planner.File(file.name());
  }
  return plan;
}
