// Linux: script applications, programs that only name the application's
// file, a program replaced while it runs, a second updater beside the
// application, and what the relaunched application inherits.
#include <cstdlib>
#include <future>
#include <set>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

namespace {

// A script that records its start in `records`, then leaves for the folder
// its argument names, if any, and runs until it is stopped.
std::string ScriptApp(const fs::path& records) {
  return "#!/bin/sh -e\necho \"1 $$ $PWD\" >> '" + records.string() +
         "'\n[ -z \"$1\" ] || cd \"$1\"\nwhile :; do sleep 1; done\n";
}

std::unique_ptr<ChildProcess> Shell(const fs::path& dir, const std::string& command) {
  return std::make_unique<ChildProcess>("/bin/sh",
                                        std::vector<std::string>{"-c", "cd '" + dir.string() + "' && " + command});
}

}  // namespace

TEST_F(UpdateRun, StopsScriptsAndReplacedProgramsOfTheInstallationAndHandsOverNoDescriptor) {
  const fs::path elsewhere = root_.path() / "elsewhere", links = root_.path() / "bin";
  for (const fs::path& dir : {installDir_, elsewhere}) {
    WriteFileBytes(dir / appName_, ScriptApp(dir / (appName_ + ".run")));
    fs::permissions(dir / appName_, fs::perms::owner_all);
  }
  fs::create_directories(links);
  fs::create_symlink(AppPath(), links / appName_);
  std::vector<std::tuple<const char*, std::unique_ptr<ChildProcess>, bool>> cases;
  cases.emplace_back("#!/bin/sh -e", std::make_unique<ChildProcess>(AppPath().string(), std::vector<std::string>{}),
                     true);
  cases.emplace_back("sh app", Shell(installDir_, "exec sh " + appName_), true);
  cases.emplace_back("sh app elsewhere", Shell(elsewhere, "exec sh " + appName_), false);
  cases.emplace_back("sh app, then cd", Shell(installDir_, "exec sh " + appName_ + " /"), true);
  cases.emplace_back("a PATH link, then cd",
                     Shell(root_.path(), "export PATH='" + links.string() + "':$PATH && exec " + appName_ + " /"),
                     true);
  cases.emplace_back("tail -f app", Shell(installDir_, "exec tail -f " + appName_ + " >/dev/null"), false);
  cases.emplace_back("less app", Shell(installDir_, "exec script -qc 'less " + appName_ + "' /dev/null >/dev/null"),
                     false);
  WriteFileBytes(installDir_ / "plugins" / "new", "new");
  cases.emplace_back("renamed over", StartFakeAppAs(installDir_ / "plugins", appName_), true);
  ASSERT_NE(std::get<1>(cases.back()), nullptr);
  fs::rename(installDir_ / "plugins" / "new", installDir_ / "plugins" / appName_);
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 4 && fs::exists(elsewhere / (appName_ + ".run")); }));

  // A descriptor the updater inherits, which the relaunch must not pass on.
  const int inherited = open("/dev/null", O_RDONLY);
  ASSERT_GE(inherited, 0);
  WriteNewVersionArchive();
  // The installation spelled through a link to the folder above it.
  fs::create_directory_symlink(root_.path(), root_.path() / "link");
  const RunResult run = UpdateApp(zip_.string(), (root_.path() / "link" / installDir_.filename()).string());
  close(inherited);
  ASSERT_EQ(run.exitCode, 0);
  for (const auto& [how, process, stopped] : cases) {
    const std::uint32_t pid = process->id();
    EXPECT_TRUE(stopped ? WaitFor([&] { return !IsAlive(pid); }) : IsAlive(pid)) << how;
  }
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 5; }));
  std::set<std::string> open;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(AppRecords().back().pid) + "/fd")) {
    open.insert(fd.path().filename().string());
  }
  EXPECT_EQ(open, (std::set<std::string>{"0", "1", "2"}));
}

// Two runs of the updater beside the application (as the guide starts it,
// "--exeName" and the name as two words), the second started while the first
// stops an application that ignores SIGTERM: the second waits for the
// first's lock and is never taken for the application. With the wait
// shortened, the second gives up once it is over.
TEST_F(UpdateRun, ASecondUpdaterWaitsForTheFirstAndIsNeverStopped) {
  struct Case {
    const char* waitMs;
    int secondExit;
    const char* installed;
  };
  for (const Case& c : {Case{nullptr, 0, "version 3\n"}, Case{"1000", 4, "version 2\n"}}) {
    const fs::path updater = updaterDir_ / "update";
    installDir_ = root_.path() / (std::string("beside ") + (c.waitMs ? c.waitMs : "the wait"));
    updaterDir_ = installDir_;
    fs::create_directories(installDir_ / "stubborn");
    fs::copy_file(updater, installDir_ / "update");
    const auto stubborn = StartHelperAs("stop_signals", installDir_ / "stubborn", appName_, {"ignore"});
    ASSERT_NE(stubborn, nullptr);
    StartInstalledApp();
    WriteNewVersionArchive();
    const fs::path second = root_.path() / "second.zip";
    WriteArchive(second.string(), {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                                   File("update/readme.txt", "version 3\n")});
    fs::create_directories(root_.path() / "first");
    auto first = std::async(std::launch::async,
                            [&] { return UpdateApp(zip_.string(), installDir_.string(), root_.path() / "first"); });
    ASSERT_TRUE(WaitFor([&] { return LogText().find("Stop Process Ret:1") != std::string::npos; }));
    if (c.waitMs) setenv("UPDATE_TEST_BOUND_LOCK_WAIT_MS", c.waitMs, 1);
    const RunResult run = UpdateApp(second.string(), installDir_.string());
    unsetenv("UPDATE_TEST_BOUND_LOCK_WAIT_MS");
    EXPECT_EQ(first.get().exitCode, 0) << c.installed;
    EXPECT_EQ(run.exitCode, c.secondExit) << c.installed;
    EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), c.installed);
    EXPECT_FALSE(IsAlive(stubborn->id()));
    const std::string dstPath = installDir_.string();
    std::vector<LogEntry> lines = {
        {kWarning, kLockWaitLine, "Waiting For Another Update:" + dstPath},
        {kWarning, kForcedEndLine, "Process Ended By Force:" + std::to_string(stubborn->id())}};
    if (c.waitMs)
      lines.insert(lines.begin() + 1, {kError, kLockTimeoutLine, "Another Update Holds The Installation:" + dstPath});
    ExpectLogInOrder(lines);
    for (const AppRecord& record : AppRecords()) KillProcess(record.pid);
  }
}
