// Linux only: the update run with archives as Linux vendors make them,
// without Unix modes or with symbolic links.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

// An archive made on Windows stores no Unix mode: the program it replaces
// stays executable, so the relaunch works.
TEST_F(UpdateRun, ArchiveWithoutUnixModesKeepsTheProgramRunnable) {
  StartInstalledApp();
  fs::permissions(AppPath(), static_cast<fs::perms>(0755));
  WriteFileBytes(installDir_ / "settings.ini", "old");
  fs::permissions(installDir_ / "settings.ini", static_cast<fs::perms>(0600));
  WriteArchive(zip_.string(), {File("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                               File("update/settings.ini", "new")});

  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  ASSERT_EQ(result.exitCode, 0) << result.err;

  EXPECT_EQ(PermissionsOf(AppPath()), 0755u);
  EXPECT_EQ(PermissionsOf(installDir_ / "settings.ini"), 0600u);
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
  EXPECT_EQ(AppRecords().back().version, 2);
  ExpectLogInOrder({{kInfo, kRelaunchLine, "Run " + AppPath().string() + " GetLastError = 0"}});
}
