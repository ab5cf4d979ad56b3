// The guide's example of starting the updater from an application, built for
// this system: run from the installation beside the updater in a group of
// its own, which is ended as soon as the example exits, as a terminal or a
// service manager ends an application's. The update still completes, and
// the example started as the updater starts the application again reads
// that it did.
#include <cstdlib>

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

  // What the updater gave the application it started, given to the example
  // at once: it waits for the updater to end before it reads the log.
  const auto [updaterPid, logFile] = RelaunchVariables();
  // putenv keeps the text itself, so it lives as long as the process; the
  // variable is emptied again after.
  static std::string pidSetting, logSetting, pidCleared = "UPDATER_PID=";
  pidSetting = "UPDATER_PID=" + updaterPid;
  logSetting = "UPDATER_LOG=" + logFile;
  putenv(pidSetting.data());
  putenv(logSetting.data());
  const RunResult outcome = RunToEnd(example.u8string(), {}, root_.path());
  putenv(pidCleared.data());
  EXPECT_EQ(outcome.exitCode, 0) << outcome.out << outcome.err;
  const std::string closing =
      std::string(kDriverLogSource) + " " + std::to_string(kSuccessLine) + " Update App Success!";
  EXPECT_NE(WithLineFeeds(outcome.out).find(closing + "\n"), std::string::npos) << outcome.out;
  EXPECT_TRUE(LogText().find(closing) != std::string::npos) << LogText();
}
