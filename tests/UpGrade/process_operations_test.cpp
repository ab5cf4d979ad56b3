// Finding and stopping processes by executable name, with real processes.
#include "UpGrade/process_operations.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_programs.h"

namespace fs = std::filesystem;
using namespace testing_support;

TEST(ProcessControl, KillProcessByNameStopsEveryInstance) {
  TempDir dir;
  const std::string name = UniqueProgramName("app");
  fs::create_directory(dir.path() / "second");
  const auto first = StartFakeAppAs(dir.path(), name);
  const auto second = StartFakeAppAs(dir.path() / "second", name);
  ASSERT_TRUE(first && second);
  EXPECT_TRUE(IsProcessRunning(name));

  ASSERT_TRUE(KillProcessByName(name));
  EXPECT_TRUE(first->WaitForExit());
  EXPECT_TRUE(second->WaitForExit());
  EXPECT_FALSE(IsProcessRunning(name));
  EXPECT_FALSE(KillProcessByName(name));
}

TEST(ProcessControl, NamesMatchOnlyExactly) {
  TempDir dir;
  const std::string name = UniqueProgramName("app");
  const auto app = StartFakeAppAs(dir.path(), name);
  ASSERT_TRUE(app);
  std::string upper = name;
  upper[0] = 'A';
  const std::string misses[] = {
      upper, (dir.path() / name).string(), "\"" + name + "\"", name.substr(0, name.size() - 4), name + " ", "",
  };
  for (const std::string& miss : misses) {
    EXPECT_FALSE(IsProcessRunning(miss)) << miss;
    EXPECT_FALSE(KillProcessByName(miss)) << miss;
  }
  EXPECT_FALSE(IsProcessRunning(UniqueProgramName("absent")));
  EXPECT_TRUE(IsProcessRunning(name));

  StopProcessByName(name);
  EXPECT_TRUE(app->WaitForExit());
  EXPECT_FALSE(IsProcessRunning(name));
}

// The driver's bounded wait: it ends at once when nothing of that name runs,
// and gives up (false) when a process outlives every poll.
TEST(ProcessControl, WaitUntilStoppedIsBounded) {
  TempDir dir;
  const std::string name = UniqueProgramName("app");
  constexpr std::chrono::milliseconds kShortInterval(10);
  EXPECT_TRUE(WaitUntilStopped(name, /*polls=*/1, kShortInterval));
  const auto app = StartFakeAppAs(dir.path(), name);
  ASSERT_TRUE(app);
  EXPECT_FALSE(WaitUntilStopped(name, /*polls=*/3, kShortInterval));
  StopProcessByName(name);
  EXPECT_TRUE(app->WaitForExit());
  EXPECT_TRUE(WaitUntilStopped(name, /*polls=*/1, kShortInterval));
}

// An updater asked to stop its own name must live on to finish the update.
// This program runs a copy of itself under a name of its own for it.
TEST(ProcessControl, NeverStopsTheCallingProcess) {
  TempDir dir;
  const fs::path self = platform::ExecutablePath().value;
  const fs::path copy = dir.path() / UniqueProgramName("self");
  fs::copy_file(self, copy);
  ChildProcess child(copy.string(), {"--gtest_also_run_disabled_tests", "--gtest_filter=ProcessControlChild.*"});
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(child.WaitForExit());
  EXPECT_EQ(ReadFileBytes(copy.string() + ".survived"), "no other process of this name");
}

// Another updater, a copy of this one, inside the installation under the
// application's name is never taken for the application.
TEST(ProcessControl, NeverStopsACopyOfTheUpdater) {
  TempDir dir;
  const std::string name = UniqueProgramName("app");
  fs::copy_file(platform::ExecutablePath().value, dir.path() / name);
  ChildProcess copy(dir.str(name), {"--gtest_also_run_disabled_tests", "--gtest_filter=UpdaterCopyChild.*"});
  ASSERT_TRUE(WaitForFile(dir.path() / (name + ".waiting")));
  EXPECT_FALSE(StopInstalledApplication(name, dir.path().string()));
  EXPECT_TRUE(EnsureInstalledApplicationStopped(name, dir.path().string(), 1, std::chrono::milliseconds(10), 0));
  EXPECT_TRUE(IsAlive(copy.id()));
}

// Run only by NeverStopsACopyOfTheUpdater, which ends it.
TEST(UpdaterCopyChild, DISABLED_WaitsToBeEnded) {
  WriteFileBytes(platform::ExecutablePath().value + ".waiting", "waiting");
  std::this_thread::sleep_for(std::chrono::minutes(1));
}

// Run only by NeverStopsTheCallingProcess, in a copy of this program.
TEST(ProcessControlChild, DISABLED_SurvivesStoppingItsOwnName) {
  const fs::path self = platform::ExecutablePath().value;
  const std::string name = self.filename().string();
  const bool found = KillProcessByName(name) || IsProcessRunning(name);
  WriteFileBytes(self.string() + ".survived", found ? "another process matched" : "no other process of this name");
}
