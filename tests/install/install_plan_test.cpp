// Which installed folders an install swaps whole for their new namesakes.
#include "install/install_plan.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/folder_trait.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tree_snapshot.h"

namespace fs = std::filesystem;

namespace {

// What keeps an otherwise whole folder "a" from moving whole.
enum class Twist { kNone, kWorkDir, kOtherTraits };

struct SwapCase {
  const char* what;
  std::map<std::string, std::string> installed;
  std::map<std::string, std::string> brought;
  Twist twist;
  std::vector<std::string> movedWhole;  ///< "/"-separated
};

const SwapCase kCases[] = {
    {"every entry replaced, the topmost folder swaps",
     {{"a/x", "1"}, {"a/deep/y", "2"}},
     {{"a/x", "3"}, {"a/deep/y", "4"}, {"a/z", "5"}},
     Twist::kNone,
     {"a"}},
    {"an entry of another kind is replaced too",
     {{"a/f/x", "1"}, {"a/g", "2"}},
     {{"a/f", "3"}, {"a/g/y", "4"}},
     Twist::kNone,
     {"a"}},
    {"an installed entry the new tree lacks keeps its folder",
     {{"a/x", "1"}, {"a/kept", "2"}, {"a/sub/y", "3"}},
     {{"a/x", "4"}, {"a/sub/y", "5"}},
     Twist::kNone,
     {"a/sub"}},
    {"a name that differs in case only keeps its folder",
     {{"a/Readme.txt", "1"}},
     {{"a/README.txt", "2"}},
     Twist::kNone,
     {}},
    {"a new folder is added, not moved whole", {{"b/x", "1"}}, {{"b/x", "2"}, {"a/x", "3"}}, Twist::kNone, {"b"}},
    {"nothing of the work directory moves whole",
     {{"a/x", "1"}, {"a/sub/y", "2"}},
     {{"a/x", "3"}, {"a/sub/y", "4"}},
     Twist::kWorkDir,
     {}},
    {"a folder whose traits differ is merged", {{"a/x", "1"}}, {{"a/x", "2"}}, Twist::kOtherTraits, {}},
};

std::vector<std::string> Spelled(std::vector<std::string> paths) {
  for (std::string& path : paths) std::replace(path.begin(), path.end(), '/', platform::kPathSeparator[0]);
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace

TEST(InstallPlan, SwapsAFolderWholeOnlyWhereNothingOfItIsLost) {
  for (const SwapCase& c : kCases) {
    SCOPED_TRACE(c.what);
    testing_support::TempDir dir;
    const fs::path install = dir.path() / "install";
    const fs::path source = dir.path() / "update";
    testing_support::WriteTree(install, c.installed);
    testing_support::WriteTree(source, c.brought);
    fs::path workDir = install / "temp";
    if (c.twist == Twist::kWorkDir) workDir = install / "a";
    if (c.twist == Twist::kOtherTraits) testing_support::SetUncommonTrait(install / "a");

    const InstallPlan plan = PlanInstall(source.string(), install.string(), workDir.string());

    EXPECT_EQ(Spelled(plan.movedWhole), Spelled(c.movedWhole));
  }
}
