// The release package as a vendor uses it: the updater unpacked from it, with
// nothing but what the package holds beside it, installs a new version of a
// running application and starts it again.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_programs.h"
#include "tests/zip/archive_builder.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// The folder the package test unpacked, named by ctest; relative paths are
// taken from the working directory, which spares Wine a Unix path.
fs::path UnpackedFolder() {
  const char* folder = std::getenv("UPDATE_UNPACKED_PACKAGE");
  return folder ? fs::absolute(folder) : fs::path();
}

// The process id of the first run of `version` that `app` recorded, or 0.
std::uint32_t RecordedRun(const fs::path& app, int version) {
  std::istringstream records(ReadFileBytes(app.string() + ".run"));
  std::string line;
  while (std::getline(records, line)) {
    std::istringstream fields(line);
    int recorded = 0;
    std::uint32_t pid = 0;
    if (fields >> recorded >> pid && recorded == version) return pid;
  }
  return 0;
}

}  // namespace

TEST(UnpackedPackage, UpdatesARunningApplication) {
  const fs::path folder = UnpackedFolder();
  ASSERT_TRUE(fs::is_directory(folder)) << "UPDATE_UNPACKED_PACKAGE names no unpacked package";
  const fs::path updater = folder / ("update" + fs::path(platform::ExecutablePath().value).extension().string());
  ASSERT_TRUE(fs::exists(updater));

  TempDir root;
  const fs::path install = root.path() / "My App";
  fs::create_directories(install);
  const std::string appName = UniqueProgramName("app");
  const auto installed = StartFakeAppAs(install, appName);
  ASSERT_NE(installed, nullptr);

  zip_testing::EntryRecipe app = zip_testing::File("update/" + appName, ReadFileBytes(HelperProgram("fake_app_v2")));
  app.versionMadeBy = zip_testing::kMadeOnUnix;
  app.externalAttributes = zip_testing::kExecutableFileAttributes;
  const std::string zip = (root.path() / "new.zip").string();
  zip_testing::WriteArchive(zip, {app, zip_testing::File("update/readme.txt", "version 2\n")});

  const RunResult run =
      RunToEnd(updater.string(), {"--exeName", appName, "--zipFile", zip, "--dstPath", install.string()}, root.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;

  const fs::path appPath = install / appName;
  ASSERT_TRUE(WaitForFile(appPath.string() + ".run"));
  // A minute's bound only keeps a fault from hanging the run.
  std::uint32_t relaunched = 0;
  for (int i = 0; i < 600 && relaunched == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    relaunched = RecordedRun(appPath, 2);
  }
  KillProcess(relaunched);
  EXPECT_NE(relaunched, 0u) << "version 2 was not started";
  EXPECT_FALSE(IsAlive(installed->id())) << "version 1 still runs";
  EXPECT_EQ(ReadFileBytes(install / "readme.txt"), "version 2\n");
  EXPECT_FALSE(fs::is_empty(folder / "log")) << "no log beside the unpacked updater";
}
