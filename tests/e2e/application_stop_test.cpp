// The update run stops the application of its installation only.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

TEST_F(UpdateRun, StopsOnlyTheProgramsInsideTheInstallation) {
  // Two file systems whose folders "My App" share one file number
  // (twin_volumes.sh): the installation on one, another product's on the other.
  const char* named = std::getenv("UPDATE_TWIN_VOLUMES");
  const fs::path twins = named ? fs::u8path(named).make_preferred() : fs::path();
  const bool twinned = !twins.empty() && fs::is_directory(twins / "two" / "My App");
  if (twinned) {
    for (const char* volume : {"one", "two"}) {
      for (const auto& entry : fs::directory_iterator(twins / volume / "My App")) fs::remove_all(entry);
    }
    installDir_ = twins / "one" / "My App";
  }
  // The last folder's path begins with the installation's text.
  std::vector<std::pair<fs::path, bool>> stoppedIn = {{installDir_ / "plugins", true},
                                                      {root_.path() / "elsewhere", false},
                                                      {installDir_.parent_path() / "My App-beta", false}};
  if (twinned) stoppedIn.emplace_back(twins / "two" / "My App", false);
  const std::uint32_t installed = StartInstalledApp();
  std::vector<std::unique_ptr<ChildProcess>> others;
  for (const auto& [dir, stopped] : stoppedIn) {
    fs::create_directories(dir);
    others.push_back(StartFakeAppAs(dir, appName_));
    ASSERT_NE(others.back(), nullptr);
  }
  WriteNewVersionArchive();
  ASSERT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(installed); }));
  for (std::size_t i = 0; i < others.size(); ++i) {
    const std::uint32_t pid = others[i]->id();
    EXPECT_TRUE(stoppedIn[i].second ? WaitFor([&] { return !IsAlive(pid); }) : IsAlive(pid)) << stoppedIn[i].first;
  }
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
}
