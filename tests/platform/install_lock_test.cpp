// The installation lock: one holder per installation, whatever the spelling
// of its path; other installations are free. The holder and the contenders
// are different threads, as the system sees different runs.
#include "platform/install_lock.h"

#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char kLockName[] = ".update-lock";

// Whether another thread can take the lock on `path` within `timeoutMs`.
bool OtherThreadTakes(const std::string& path, unsigned timeoutMs) {
  return std::async(std::launch::async, [&] { return platform::InstallLock(path, kLockName, timeoutMs).held(); }).get();
}

}  // namespace

TEST(InstallLock, OneHolderPerInstallationAndAWaitThatRunsOutTakesNothing) {
  testing_support::TempDir dir;
  std::filesystem::create_directories(dir.path() / "app");
  std::filesystem::create_directories(dir.path() / "other");
  const std::string app = dir.str("app");
  const std::string separator = platform::kPathSeparator;
  struct Contender {
    std::string path;
    unsigned timeoutMs;  // 0: one try, as a run without its archive makes
    bool takesWhileHeld;
  };
  const std::vector<Contender> contenders = {
      {app, 0, false},
      // Waits that run out while the holder keeps the lock, under other spellings.
      {app + separator, 200, false},
      {app + separator + ".", 300, false},
      {dir.str("other"), 0, true},
  };
  {
    const platform::InstallLock held(app, kLockName, 0);
    ASSERT_TRUE(held.held());
    for (const Contender& contender : contenders) {
      EXPECT_EQ(OtherThreadTakes(contender.path, contender.timeoutMs), contender.takesWhileHeld)
          << contender.path << " within " << contender.timeoutMs << " ms";
    }
  }
  // Once the holder lets go, nothing is held by the waits that ran out.
  for (const Contender& contender : contenders) {
    EXPECT_TRUE(OtherThreadTakes(contender.path, contender.timeoutMs)) << contender.path;
  }
}

TEST(InstallLock, AWaitingRunGetsTheLockWhenTheHolderEnds) {
  testing_support::TempDir dir;
  const std::string app = dir.str();
  auto holder = std::make_unique<platform::InstallLock>(app, kLockName, 0);
  ASSERT_TRUE(holder->held());
  std::promise<void> waiting;
  auto contender = std::async(std::launch::async, [&] {
    waiting.set_value();
    return platform::InstallLock(app, kLockName, 60000).held();
  });
  waiting.get_future().wait();
  holder.reset();
  EXPECT_TRUE(contender.get());
}
