// Linux: script applications, a program replaced while it runs, and what the
// relaunched application inherits.
#include <set>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

TEST_F(UpdateRun, StopsScriptsAndReplacedProgramsOfTheInstallationAndHandsOverNoDescriptor) {
  const fs::path elsewhere = root_.path() / "elsewhere";
  for (const fs::path& dir : {installDir_, elsewhere}) {
    WriteFileBytes(dir / appName_, "#!/bin/sh -e\necho \"1 $$ $PWD\" >> \"$0.run\"\nwhile :; do sleep 1; done\n");
    fs::permissions(dir / appName_, fs::perms::owner_all);
  }
  const auto sh = [&](const fs::path& dir) {
    return std::make_unique<ChildProcess>(
        "/bin/sh", std::vector<std::string>{"-c", "cd '" + dir.string() + "' && exec sh " + appName_});
  };
  std::vector<std::tuple<const char*, std::unique_ptr<ChildProcess>, bool>> cases;
  cases.emplace_back("#!/bin/sh -e", std::make_unique<ChildProcess>(AppPath().string(), std::vector<std::string>{}),
                     true);
  cases.emplace_back("sh app", sh(installDir_), true);
  cases.emplace_back("sh app elsewhere", sh(elsewhere), false);
  WriteFileBytes(installDir_ / "plugins" / "new", "new");
  cases.emplace_back("renamed over", StartFakeAppAs(installDir_ / "plugins", appName_), true);
  ASSERT_NE(std::get<1>(cases.back()), nullptr);
  fs::rename(installDir_ / "plugins" / "new", installDir_ / "plugins" / appName_);
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2 && fs::exists(elsewhere / (appName_ + ".run")); }));

  WriteNewVersionArchive();
  ASSERT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 0);
  for (const auto& [how, process, stopped] : cases) {
    const std::uint32_t pid = process->id();
    EXPECT_TRUE(stopped ? WaitFor([&] { return !IsAlive(pid); }) : IsAlive(pid)) << how;
  }
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 3; }));
  std::set<std::string> open;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(AppRecords().back().pid) + "/fd")) {
    open.insert(fd.path().filename().string());
  }
  EXPECT_EQ(open, (std::set<std::string>{"0", "1", "2"}));
}
