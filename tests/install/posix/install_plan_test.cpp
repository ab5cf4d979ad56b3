// Linux only: links of the new tree are planned as the files they are placed as.
#include "install/install_plan.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

bool Holds(const std::vector<std::string>& paths, const std::string& path) {
  return std::find(paths.begin(), paths.end(), path) != paths.end();
}

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "x";
}

}  // namespace

TEST(InstallPlan, LinksArePlannedAsFilesWhateverTheyLeadTo) {
  testing_support::TempDir dir;
  const fs::path source = dir.path() / "update";
  const fs::path install = dir.path() / "install";
  Touch(source / "lib" / "libfoo.so.1");
  fs::create_symlink("libfoo.so.1", source / "lib" / "libfoo.so");  // over an installed file
  fs::create_symlink("nowhere", source / "lib" / "dangling");       // new, leads nowhere
  fs::create_directory_symlink("lib", source / "current");          // over an installed folder
  Touch(install / "lib" / "libfoo.so");
  Touch(install / "lib" / "local.conf");  // keeps lib/ merged entry by entry
  Touch(install / "current" / "old.txt");

  const InstallPlan plan = PlanInstall(source.string(), install.string(), (install / "temp").string());

  EXPECT_TRUE(Holds(plan.replaced, "lib/libfoo.so"));
  EXPECT_TRUE(Holds(plan.added, "lib/libfoo.so.1"));
  EXPECT_TRUE(Holds(plan.added, "lib/dangling"));
  // The linked folder replaces the old one whole: it is never descended.
  EXPECT_TRUE(Holds(plan.replaced, "current"));
  EXPECT_FALSE(Holds(plan.replaced, "current/old.txt"));
}
