// Linux only: directories that cannot be listed, and links met by the clear.
#include "UpGrade/file_operations.h"

#include <filesystem>
#include <system_error>

#include <climits>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/UpGrade/install_fixture.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

// A directory just short of the system's path limit that holds one file
// whose full path exceeds it: the file is listed, but cannot be opened or
// deleted by that path. It is removed through its directory.
class DirectoryAtThePathLimit {
 public:
  explicit DirectoryAtThePathLimit(const fs::path& base) {
    path_ = base;
    while (path_.native().size() < PATH_MAX - NAME_MAX) path_ /= std::string(NAME_MAX - 55, 'd');
    fs::create_directories(path_);
    dir_ = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int file = openat(dir_, kFileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (file >= 0) close(file);
  }
  ~DirectoryAtThePathLimit() {
    unlinkat(dir_, kFileName.c_str(), 0);
    close(dir_);
  }
  DirectoryAtThePathLimit(const DirectoryAtThePathLimit&) = delete;
  DirectoryAtThePathLimit& operator=(const DirectoryAtThePathLimit&) = delete;
  std::string str() const { return path_.string(); }
  bool ready() const { return faccessat(dir_, kFileName.c_str(), F_OK, 0) == 0; }

 private:
  const std::string kFileName = std::string(NAME_MAX, 'f');
  fs::path path_;
  int dir_ = -1;
};

}  // namespace

using PosixCopyTreeTest = InstallTest;

TEST_F(PosixCopyTreeTest, AFileBeyondThePathLimitIsPassedOverOrReported) {
  const DirectoryAtThePathLimit deep(dir_.path());
  ASSERT_TRUE(deep.ready());
  fs::create_directory(dir_.path() / "app");
  // The clear cannot delete it and goes on; the install reports its copy.
  EXPECT_TRUE(ClearDirectory(deep.str()));
  EXPECT_FALSE(CopyTree(deep.str(), dir_.str("app")));
  EXPECT_TRUE(deep.ready());
  EXPECT_EQ(CopyFailureMessages().size(), 1u);
  // Below the top, such a directory is passed over and the clear goes on
  // with its siblings, whatever order the listing gives.
  for (const char* sibling : {"a", "m", "z"}) WriteFileBytes(dir_.path() / sibling / "gone.txt", "x");
  EXPECT_TRUE(ClearDirectory(dir_.str()));
  for (const char* sibling : {"a", "m", "z"}) EXPECT_FALSE(fs::exists(dir_.path() / sibling / "gone.txt"));
}

TEST_F(PosixCopyTreeTest, ClearingNeverFollowsLinkedDirectories) {
  const fs::path work = dir_.path() / "temp";
  WriteFileBytes(dir_.path() / "outside" / "precious.txt", "keep");
  WriteFileBytes(work / "left.txt", "x");
  WriteFileBytes(work / "sub" / "left.txt", "x");
  fs::create_directory_symlink(dir_.path() / "outside", work / "link");
  fs::create_directory_symlink(work, work / "sub" / "loop");
  EXPECT_TRUE(ClearDirectory(work.string()));
  EXPECT_EQ(ReadFileBytes(dir_.path() / "outside" / "precious.txt"), "keep");
  EXPECT_FALSE(fs::exists(work / "left.txt"));
  EXPECT_FALSE(fs::exists(work / "sub" / "left.txt"));
  // The links themselves are gone; what they led to is untouched.
  EXPECT_FALSE(fs::exists(fs::symlink_status(work / "link")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(work / "sub" / "loop")));
  EXPECT_TRUE(fs::is_directory(work / "sub"));
}

// dlib judges a dangling link by the entry listed before it and leaves it out
// after a directory; every link is still removed, so none can steer the next
// extraction, and no file it leads to is touched.
TEST_F(PosixCopyTreeTest, EveryLinkInsideIsRemovedAsALink) {
  const fs::path work = dir_.path() / "temp";
  WriteFileBytes(dir_.path() / "outside.txt", "keep");
  for (int i = 0; i < 8; ++i) {
    const std::string n = std::to_string(i);
    fs::create_directories(work / ("dir" + n));
    fs::create_symlink(dir_.path() / ("nowhere" + n), work / ("dangling" + n));
  }
  fs::create_symlink(dir_.path() / "outside.txt", work / "to_file");
  EXPECT_TRUE(ClearDirectory(work.string()));
  for (const auto& entry : fs::recursive_directory_iterator(work)) {
    EXPECT_FALSE(entry.is_symlink()) << entry.path();
  }
  EXPECT_EQ(ReadFileBytes(dir_.path() / "outside.txt"), "keep");
  EXPECT_FALSE(fs::exists(dir_.path() / "nowhere0"));
}
