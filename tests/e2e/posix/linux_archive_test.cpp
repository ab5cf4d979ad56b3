// Linux only: the update run with archives as Linux vendors make them,
// without Unix modes or with symbolic links.
#include <filesystem>
#include <memory>
#include <string>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;
using zip_testing::Link;

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

// Links as a Linux release keeps them (zip -y): a library behind its chain,
// merged into a folder the installation has, a link to an installed file
// (dangling until it is installed), and a link at the top that is copied as
// a link. The test loads the library through them.
TEST_F(UpdateRun, LinkChainsInstallAsWorkingLinks) {
  StartInstalledApp();
  WriteFileBytes(installDir_ / "lib" / "old.txt", "kept");
  WriteFileBytes(installDir_ / "lib" / "libold.so.2", "installed before");
  WriteArchive(zip_.string(),
               {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                Link("update/lib/libprobe.so", "libprobe.so.1"), Link("update/lib/libprobe.so.1", "libprobe.so.1.2.3"),
                Program("update/lib/libprobe.so.1.2.3", ReadFileBytes(HelperProgram("liblink_probe.so"))),
                Link("update/lib/libold.so", "libold.so.2"), Link("update/probe.so", "lib/libprobe.so")});

  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  ASSERT_EQ(result.exitCode, 0) << result.err;

  for (const auto& [name, target] : {std::pair<const char*, const char*>{"probe.so", "lib/libprobe.so"},
                                     {"lib/libprobe.so", "libprobe.so.1"},
                                     {"lib/libprobe.so.1", "libprobe.so.1.2.3"},
                                     {"lib/libold.so", "libold.so.2"}}) {
    ASSERT_TRUE(fs::is_symlink(installDir_ / name)) << name;
    EXPECT_EQ(fs::read_symlink(installDir_ / name).string(), target) << name;
  }
  EXPECT_EQ(ReadFileBytes(installDir_ / "lib" / "old.txt"), "kept");
  EXPECT_EQ(ReadFileBytes(installDir_ / "lib" / "libold.so"), "installed before");
  const std::unique_ptr<void, int (*)(void*)> library(dlopen((installDir_ / "probe.so").c_str(), RTLD_NOW | RTLD_LOCAL),
                                                      dlclose);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto probeName = reinterpret_cast<const char* (*)()>(dlsym(library.get(), "LinkProbeName"));
  ASSERT_NE(probeName, nullptr);
  EXPECT_STREQ(probeName(), "link probe");
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
}

// update/ is what lands in the installation: a link out of it would lead out
// of the installation there. The run ends as any refused archive does.
TEST_F(UpdateRun, LinkLeadingOutOfTheUpdateFolderFailsTheExtraction) {
  const std::uint32_t pid = StartInstalledApp();
  WriteArchive(zip_.string(), {File("update/readme.txt", "new"), Link("update/config", "../../secret")});

  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_FALSE(fs::exists(installDir_ / "readme.txt"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(installDir_ / "temp" / "update" / "config")));
  ExpectLogInOrder({{kInfo, kExtractLine, "Extract File Ret:0"}});
}
