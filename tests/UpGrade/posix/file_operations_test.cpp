// Linux only: installing over a running program, across file systems, and
// directories that cannot be listed.
#include "UpGrade/file_operations.h"

#include <filesystem>
#include <system_error>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "UpGrade/directory_move.h"
#include "tests/UpGrade/install_fixture.h"
#include "tests/UpGrade/test_programs.h"
#include "util/process_control.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// Lowers the limit of open files to what is open now, so that the next
// directory listing fails; restores the limit when it goes.
class NoFreeDescriptors {
 public:
  NoFreeDescriptors() {
    getrlimit(RLIMIT_NOFILE, &saved_);
    const int lowestFree = dup(0);
    close(lowestFree);
    rlimit lowered = saved_;
    lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
    setrlimit(RLIMIT_NOFILE, &lowered);
  }
  ~NoFreeDescriptors() { setrlimit(RLIMIT_NOFILE, &saved_); }
  NoFreeDescriptors(const NoFreeDescriptors&) = delete;
  NoFreeDescriptors& operator=(const NoFreeDescriptors&) = delete;

 private:
  rlimit saved_{};
};

// A directory on the shared-memory file system, when that is another file
// system than the temporary directory's; removed with its contents.
class OtherFileSystemDir {
 public:
  explicit OtherFileSystemDir(const fs::path& besides) {
    struct stat here {}, there {};
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

using PosixCopyTreeTest = InstallTest;

TEST_F(PosixCopyTreeTest, ReplacesARunningProgramsFile) {
  const std::string name = UniqueProgramName("app");
  const auto app = StartFakeAppAs(dir_.path(), name);
  ASSERT_TRUE(app);
  WriteFileBytes(dir_.path() / "update" / name, "new program");
  EXPECT_TRUE(CopyTree(dir_.str("update"), dir_.str()));
  EXPECT_EQ(ReadFileBytes(dir_.path() / name), "new program");
  // The running program keeps its old file and runs on.
  EXPECT_TRUE(IsProcessRunning(name));
  EXPECT_TRUE(CopyFailureMessages().empty());
}

TEST_F(PosixCopyTreeTest, MovesAndMergesAcrossFileSystems) {
  const OtherFileSystemDir other(dir_.path());
  if (other.path().empty()) GTEST_SKIP() << "no second file system beside the temporary directory";
  const fs::path app = dir_.path() / "app";
  WriteFileBytes(other.path() / "update" / "lib" / "same.dll", "new");
  WriteFileBytes(other.path() / "update" / "lib" / "deep" / "added.dat", "added");
  WriteFileBytes(other.path() / "update" / "fresh" / "x.dat", "fresh");
  WriteFileBytes(other.path() / "update" / "app.exe", "new program");
  WriteFileBytes(app / "lib" / "same.dll", "old");
  WriteFileBytes(app / "lib" / "kept.dll", "kept");
  EXPECT_TRUE(CopyTree((other.path() / "update").string(), app.string()));
  EXPECT_EQ(ReadFileBytes(app / "lib" / "same.dll"), "new");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "kept.dll"), "kept");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "deep" / "added.dat"), "added");
  EXPECT_EQ(ReadFileBytes(app / "fresh" / "x.dat"), "fresh");
  EXPECT_EQ(ReadFileBytes(app / "app.exe"), "new program");
  EXPECT_FALSE(fs::exists(other.path() / "update" / "lib"));
  EXPECT_FALSE(fs::exists(other.path() / "update" / "fresh"));
}

TEST_F(PosixCopyTreeTest, ADirectoryThatCannotBeListedGivesFalse) {
  WriteFileBytes(dir_.path() / "work" / "a.txt", "kept");
  WriteFileBytes(dir_.path() / "update" / "b.txt", "b");
  fs::create_directory(dir_.path() / "app");
  bool cleared = true;
  bool copied = true;
  {
    const NoFreeDescriptors exhausted;
    cleared = ClearDirectory(dir_.str("work"));
    copied = CopyTree(dir_.str("update"), dir_.str("app"));
  }
  EXPECT_FALSE(cleared);
  EXPECT_FALSE(copied);
  EXPECT_EQ(ReadFileBytes(dir_.path() / "work" / "a.txt"), "kept");
  EXPECT_TRUE(CopyFailureMessages().empty());
}
