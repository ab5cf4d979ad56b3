// The guide's example of starting the updater from an application, built for
// this system: run from the installation beside the updater in a group of
// its own, which is ended as soon as the example exits, as a terminal or a
// service manager ends an application's. The update still completes.
#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

TEST_F(UpdateRun, TheGuidesExampleStartsAnUpdaterThatOutlivesTheApplication) {
  // The layout the guide recommends: the updater in the installation.
  const std::string updater = "update" + suffix_;
  fs::copy_file(updaterDir_ / updater, installDir_ / updater);
  updaterDir_ = installDir_;
  const fs::path example = installDir_ / ("start_update" + suffix_);
  fs::copy_file(HelperProgram("start_update_example"), example);

  const std::uint32_t oldPid = StartInstalledApp();
  WriteArchive(zip_.string(), {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2")))});
  EXPECT_EQ(RunAndEndItsGroup(example.u8string(), {appName_, zip_.u8string()}), 0);

  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2; })) << LogText();
  EXPECT_FALSE(IsAlive(oldPid));
  const AppRecord relaunched = AppRecords().back();
  EXPECT_EQ(relaunched.version, 2);
  EXPECT_TRUE(fs::equivalent(relaunched.currentDir, installDir_)) << relaunched.currentDir;
  EXPECT_TRUE(WaitFor([&] { return LogText().find("Update App Success!") != std::string::npos; })) << LogText();
}
