// Windows: the installation named through another drive letter than the one
// Wine reports the program's path through; applications asked to close
// through their windows.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

TEST_F(UpdateRun, StopsTheApplicationThroughAnotherDriveLetter) {
  const char* named = std::getenv("UPDATE_DRIVE_ALIAS");  // made by drive_c_alias.sh
  const std::string letter = named ? ReadFileBytes(named).substr(0, 2) : "";
  const std::string install = installDir_.string();
  if (letter.size() != 2 || install.rfind("C:\\", 0) != 0) GTEST_SKIP() << "no second letter for drive C";
  const std::uint32_t installed = StartInstalledApp();
  WriteNewVersionArchive();
  ASSERT_EQ(UpdateApp(zip_.string(), letter + install.substr(2)).exitCode, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(installed); }));
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
}

// Run only by the ctest entry e2e_window_close, on a display of its own. The
// stand-in without a window logs into the updater's log until it is ended.
TEST_F(UpdateRun, DISABLED_AsksWindowsToCloseAndEndsTheRest) {
  const std::vector<std::pair<std::string, bool>> answerSaves = {
      {"save", true}, {"save-hidden", true}, {"ignore", false}, {"windowless", false}};
  std::vector<std::unique_ptr<ChildProcess>> apps;
  for (const auto& [answer, saves] : answerSaves) {
    fs::create_directories(installDir_ / answer);
    const std::string logRoot = updaterDir_.u8string() + platform::kPathSeparator;
    apps.push_back(StartHelperAs("window_close", installDir_ / answer, appName_, {answer, logRoot}));
    ASSERT_NE(apps.back(), nullptr) << answer;
  }
  WriteNewVersionArchive();
  ASSERT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 0);
  for (std::size_t i = 0; i < apps.size(); ++i) {
    const auto& [answer, saves] = answerSaves[i];
    EXPECT_TRUE(apps[i]->WaitForExit()) << answer;
    EXPECT_EQ(fs::exists(installDir_ / answer / (appName_ + ".saved")), saves) << answer;
  }
  // Ended before the first poll: nothing it logged comes after the stop's line.
  const std::string log = LogText(), running = "windowless stand-in running";
  const std::size_t stop = log.find("Stop Process Ret:1");
  ASSERT_NE(stop, std::string::npos);
  EXPECT_LT(log.find(running), stop);
  EXPECT_EQ(log.find(running, stop), std::string::npos);
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 1 && AppRecords()[0].version == 2; }));
}
