// Linux only: placing a tree over a running program, across file systems,
// and into a linked folder of the installation.
#include "install/install.h"

#include <filesystem>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "UpGrade/process_operations.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_programs.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// A directory on the shared-memory file system, when that is another file
// system than the temporary directory's; removed with its contents.
class OtherFileSystemDir {
 public:
  explicit OtherFileSystemDir(const fs::path& besides) {
    struct stat here {
    }, there{};
    const fs::path shm = "/dev/shm";
    if (stat(besides.c_str(), &here) != 0 || stat(shm.c_str(), &there) != 0 || here.st_dev == there.st_dev) return;
    path_ = shm / ("update-test-" + std::to_string(getpid()));
    std::error_code error;
    if (!fs::create_directory(path_, error)) path_.clear();
  }
  ~OtherFileSystemDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  OtherFileSystemDir(const OtherFileSystemDir&) = delete;
  OtherFileSystemDir& operator=(const OtherFileSystemDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

TEST(PosixPlaceTree, ReplacesARunningProgramsFile) {
  TempDir dir;
  const std::string name = UniqueProgramName("app");
  const auto app = StartFakeAppAs(dir.path(), name);
  ASSERT_TRUE(app);
  WriteFileBytes(dir.path() / "update" / name, "new program");
  const Placement placement = PlaceTree(dir.str("update"), dir.str());
  EXPECT_TRUE(placement.whole);
  EXPECT_EQ(ReadFileBytes(dir.path() / name), "new program");
  // The running program keeps its old file and runs on.
  EXPECT_TRUE(IsProcessRunning(name));
  EXPECT_TRUE(placement.failedCopies.empty());
}

TEST(PosixPlaceTree, MovesAndMergesAcrossFileSystems) {
  TempDir dir;
  const OtherFileSystemDir other(dir.path());
  if (other.path().empty()) GTEST_SKIP() << "no second file system beside the temporary directory";
  const fs::path app = dir.path() / "app";
  WriteFileBytes(other.path() / "update" / "lib" / "same.dll", "new");
  WriteFileBytes(other.path() / "update" / "lib" / "deep" / "added.dat", "added");
  WriteFileBytes(other.path() / "update" / "fresh" / "x.dat", "fresh");
  WriteFileBytes(other.path() / "update" / "app.exe", "new program");
  WriteFileBytes(app / "lib" / "same.dll", "old");
  WriteFileBytes(app / "lib" / "kept.dll", "kept");
  EXPECT_TRUE(PlaceTree((other.path() / "update").string(), app.string()).whole);
  EXPECT_EQ(ReadFileBytes(app / "lib" / "same.dll"), "new");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "kept.dll"), "kept");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "deep" / "added.dat"), "added");
  EXPECT_EQ(ReadFileBytes(app / "fresh" / "x.dat"), "fresh");
  EXPECT_EQ(ReadFileBytes(app / "app.exe"), "new program");
  EXPECT_FALSE(fs::exists(other.path() / "update" / "lib"));
  EXPECT_FALSE(fs::exists(other.path() / "update" / "fresh"));
}

TEST(PosixPlaceTree, MergesIntoALinkedDirectoryOfTheInstallation) {
  TempDir dir;
  const fs::path app = dir.path() / "app";
  WriteFileBytes(dir.path() / "real_lib" / "kept.dll", "kept");
  fs::create_directories(app);
  fs::create_directory_symlink(dir.path() / "real_lib", app / "lib");
  WriteFileBytes(dir.path() / "update" / "lib" / "new.dll", "new");
  EXPECT_TRUE(PlaceTree(dir.str("update"), app.string()).whole);
  EXPECT_EQ(ReadFileBytes(dir.path() / "real_lib" / "new.dll"), "new");
  EXPECT_EQ(ReadFileBytes(dir.path() / "real_lib" / "kept.dll"), "kept");
  EXPECT_TRUE(fs::is_symlink(app / "lib"));
}
