// Read-only files the run removes itself: an installed file it replaces,
// whose backup it discards, and a file an earlier run left in the work
// directory, which the clear removes (Windows refuses to delete either while
// the attribute is set).
#include <string>

#include <gtest/gtest.h>

#include "install/install.h"
#include "tests/e2e/install_fixture.h"

using namespace update_e2e;

namespace {

void MakeReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

}  // namespace

TEST_F(InstallRun, ReadOnlyFilesTheRunRemovesGo) {
  const fs::path work = installDir_ / kWorkDirName;
  const fs::path left = work / "left" / "old.txt";
  WriteFileBytes(left, "left by an earlier run");
  MakeReadOnly(left);
  MakeReadOnly(installDir_ / "readme.txt");
  const RunResult result = UpdateWithoutApp(zip_.string());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // Linux keeps the installed file's mode bits, read-only included.
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "new readme");
  ExpectLogInOrder({{kInfo, kClearLine, "Clear History File Ret:1"}});
  EXPECT_FALSE(fs::exists(left));
  EXPECT_FALSE(fs::exists(work / kBackupDirName));
}
