// Windows: the install meets a file held open without sharing or a full
// disk, and is killed at a handful of moments; each case ends with the
// installation compared with a whole version.
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "install/install.h"

#include "tests/e2e/install_fixture.h"
#include "tests/e2e/small_disk_fixture.h"

using namespace update_e2e;

TEST_F(InstallRun, AFileHeldWithoutSharingLeavesTheOldVersionWhole) {
  const TreeSnapshot oldVersion = Installation();
  const TreeSnapshot newVersion = NewVersion();
  // One held file at the top, one inside a merged folder.
  for (const fs::path& held : {installDir_ / "readme.txt", installDir_ / "data" / "many" / "f7.txt"}) {
    {
      ChildProcess holder(HelperProgram("hold_file"), {held.string()});
      ASSERT_TRUE(WaitForFile(held.string() + ".held"));
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 4);
      // The run's time for waiting, 10 s, and no more than 10 s besides.
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << held;
    }
    fs::remove(held.string() + ".held");
    EXPECT_EQ(Installation(), oldVersion) << held;
    EXPECT_FALSE(JournalLeft());
  }
  ExpectLogInOrder({{kError, kCopyLine,
                     "Copy Files Source:" + Joined(Joined(installDir_.string(), "temp"), "update") +
                         ", Target:" + installDir_.string()}});
  EXPECT_NE(LogText().find(" " + std::to_string(kAsideFailedLine) +
                           " Move Aside Source:" + (installDir_ / "readme.txt").string()),
            std::string::npos);
  // Once the file is free the update goes in.
  EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0);
  EXPECT_EQ(Installation(), newVersion);
}

// A file held without sharing for 3 seconds, as a virus scanner may hold a
// file just written, is waited for: at the top, in a merged folder, and in
// the work folder during the clear. Each wait is logged.
TEST_F(InstallRun, AFileHeldForAMomentIsWaitedFor) {
  const TreeSnapshot newVersion = NewVersion();
  const fs::path leftover = installDir_ / "temp" / "left.txt";
  for (const fs::path& held : {installDir_ / "readme.txt", installDir_ / "data" / "many" / "f7.txt", leftover}) {
    WriteOldVersion();
    if (held == leftover) WriteTree(installDir_ / "temp", {{"left.txt", "an earlier run's"}});
    {
      ChildProcess holder(HelperProgram("hold_file"), {held.string(), "3"});
      ASSERT_TRUE(WaitForFile(held.string() + ".held"));
      const RunResult result = UpdateWithoutApp(zip_.string());
      EXPECT_EQ(result.exitCode, 0) << held << result.err;
    }
    fs::remove(held.string() + ".held");
    EXPECT_EQ(Installation(), newVersion) << held;
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_NE(LogText().find(" " + std::to_string(kWaitedLine) + " Waited For Held File:" + held.string() + ", error:"),
              std::string::npos)
        << held;
  }
}

TEST_F(InstallRun, KilledAtSomeMomentTheNextRunLeavesOneWholeVersion) {
  const TreeSnapshot oldVersion = Installation();
  const TreeSnapshot newVersion = NewVersion();
  const std::string missing = (root_.path() / "missing.zip").string();
  const std::string updater = (updaterDir_ / ("update" + suffix_)).string();
  for (const int delayMs : {150, 300, 450, 600, 800}) {
    WriteOldVersion();
    {
      ChildProcess run(updater,
                       {"--exeName", "absent.exe", "--zipFile", zip_.string(), "--dstPath", installDir_.string()});
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    }
    EXPECT_EQ(UpdateWithoutApp(missing).exitCode, 0) << delayMs;
    const TreeSnapshot after = Installation();
    EXPECT_TRUE(after == oldVersion || after == newVersion) << delayMs;
    EXPECT_FALSE(JournalLeft()) << delayMs;
    EXPECT_EQ(UpdateWithoutApp(zip_.string()).exitCode, 0) << delayMs;
    EXPECT_EQ(Installation(), newVersion) << delayMs;
  }
}

// The application cannot react to TerminateProcess, so a helper of its own
// starts it and holds the updater at its locks until the disk is full
// (tests/helpers/disk_filler.cpp).
TEST_F(SmallDiskInstall, AFullDiskLeavesTheOldVersionWhole) {
  ASSERT_TRUE(fs::copy_file(HelperProgram("fake_app_v1"), AppPath()));
  ChildProcess filler(HelperProgram("disk_filler"),
                      {installDir_.string(), AppPath().string(), (updaterDir_ / "log").string(), filler_.string()});
  ASSERT_TRUE(WaitForFile(AppPath().string() + ".run"));
  TreeSnapshot before = Installation();
  // The filler's own hold on the installation, let go before the run goes on.
  before.erase(kLockName);
  const RunResult result = UpdateApp(zip_.string(), installDir_.string());
  EXPECT_TRUE(filler.WaitForExit());
  // ERROR_DISK_FULL.
  ExpectTheOldVersionWholeThenTheNew(result, before, 112);
}
