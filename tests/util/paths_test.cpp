// Path text rules (the same bytes on every system) and single-file tests and copies.
#include "util/paths.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

struct Case {
  const char* in;
  const char* out;
};

class PathBaseTest : public testing::Test {
 protected:
  void SetUp() override { SetPathBase("C:\\app"); }
  void TearDown() override { SetPathBase(""); }
};

}  // namespace

TEST(SetPathBase, AppendsOneBackslashUnlessPresentOrEmpty) {
  SetPathBase("C:\\app");
  EXPECT_EQ(GetPathBase(), "C:\\app\\");
  SetPathBase("C:\\app\\");
  EXPECT_EQ(GetPathBase(), "C:\\app\\");
  SetPathBase("/opt/app/");
  EXPECT_EQ(GetPathBase(), "/opt/app/\\");
  SetPathBase("");
  EXPECT_EQ(GetPathBase(), "");
}

TEST_F(PathBaseTest, MakeRelativePath) {
  const Case cases[] = {
      {"C:\\app", ".\\"},
      {"C:\\app\\", ".\\"},
      {"C:\\app\\data\\x.txt", ".\\data\\x.txt"},
      {"D:\\x", "D:\\x"},
      {"C:\\application\\x", "C:\\application\\x"},
      {"c:\\app\\x", "c:\\app\\x"},  // compared byte for byte
      {"\\\\server\\share\\x", "\\\\server\\share\\x"},
      {"data\\x.txt", ".\\data\\x.txt"},
      {"\\data", ".\\\\data"},
      {"..\\x", "..\\x"},
      {".\\x", ".\\x"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeRelativePath(c.in), c.out) << c.in;
}

TEST(MakeRelativePath, WithoutABaseAbsolutePathsStayAsTheyAre) {
  SetPathBase("");
  EXPECT_EQ(MakeRelativePath("C:\\x"), "C:\\x");
  EXPECT_EQ(MakeRelativePath("\\\\server\\x"), "\\\\server\\x");
  EXPECT_EQ(MakeRelativePath("x"), ".\\x");
}

TEST_F(PathBaseTest, MakeAbsolutePath) {
  const Case cases[] = {
      {".\\data", "C:\\app\\data"},
      {"\\data", "C:\\app\\data"},
      {"data", "C:\\app\\data"},
      {"C:\\x", "C:\\x"},
      {"data\\", "data\\"},
      {"..\\x", "C:\\app\\..\\x"},
      {"\\\\server\\share", "\\\\server\\share"},
      {"a/b", "C:\\app\\a/b"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeAbsolutePath(c.in), c.out) << c.in;
}

TEST(PathText, StripTrailingSeparatorAndForwardSlashes) {
  const Case strip[] = {{"a\\", "a"}, {"a/", "a"}, {"a\\\\", "a\\"}, {"a", "a"}, {"", ""}, {"/", ""}};
  for (const Case& c : strip) EXPECT_EQ(StripTrailingSeparator(c.in), c.out) << c.in;

  std::string path = "C:\\a\\b";
  ToForwardSlashes(path, false);
  EXPECT_EQ(path, "C:/a/b");
  ToForwardSlashes(path, true);
  EXPECT_EQ(path, "C:/a/b/");
  ToForwardSlashes(path, true);
  EXPECT_EQ(path, "C:/a/b/");
  path = "x\\";
  ToForwardSlashes(path, true);
  EXPECT_EQ(path, "x/");
  path.clear();
  ToForwardSlashes(path, true);
  EXPECT_EQ(path, "");
}

TEST(PathText, FileNameAndParentDirectory) {
  struct Split {
    const char* path;
    const char* name;
    const char* parent;
  };
  const Split cases[] = {
      {"C:\\a\\b.txt", "b.txt", "C:\\a"},
      {"C:\\a\\b\\", "b", "C:\\a"},
      {"C:/a/b/", "b", "C:/a"},
      {"C:\\a/b.txt", "b.txt", "C:\\a"},
      {"b.txt", "b.txt", ""},
      {"C:\\x", "x", "C:"},
      {"\\", "", ""},
      {"", "", ""},
      {"a\\\\", "", "a"},
  };
  for (const Split& c : cases) {
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(ParentDirectoryOf(c.path), c.parent) << c.path;
  }
}

TEST(PathText, IsDotEntry) {
  EXPECT_TRUE(IsDotEntry("."));
  EXPECT_TRUE(IsDotEntry(".."));
  for (const char* name : {"...", ".a", "a.", "", ". "}) EXPECT_FALSE(IsDotEntry(name)) << name;
  EXPECT_FALSE(IsDotEntry(nullptr));
}

TEST(ExistingFiles, OpenForReadingAndDirectoryOf) {
  TempDir dir;
  WriteFileBytes(dir.path() / "f.txt", "x");
  const std::string file = dir.str("f.txt");
  EXPECT_TRUE(CanOpenForReading(file.c_str()));
  EXPECT_FALSE(CanOpenForReading(dir.str("missing.txt").c_str()));
  EXPECT_FALSE(CanOpenForReading(dir.str().c_str()));
  EXPECT_FALSE(CanOpenForReading(nullptr));

  EXPECT_EQ(DirectoryOfExistingFile(file), dir.str());
  EXPECT_EQ(DirectoryOfExistingFile(dir.str("missing.txt")), "");
  EXPECT_EQ(DirectoryOfExistingFile(dir.str()), "");
  EXPECT_EQ(DirectoryOfExistingFile(""), "");

  // An existing file named without any separator has no directory part.
  const fs::path saved = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_EQ(DirectoryOfExistingFile("f.txt"), "");
  fs::current_path(saved);
}

TEST(CopyFileInto, JoinsTheDirectoryAndTheFileNameAsGiven) {
  TempDir dir;
  WriteFileBytes(dir.path() / "a" / "b.txt", "new");
  WriteFileBytes(dir.path() / "d" / "b.txt", "old and longer");
  const std::string source = dir.str("a/b.txt");
  const std::string target = dir.str("d");

  EXPECT_TRUE(CopyFileInto(source, target + platform::kPathSeparator));
  EXPECT_EQ(ReadFileBytes(dir.path() / "d" / "b.txt"), "new");
  // Without a trailing separator the name is appended to the directory's own.
  EXPECT_TRUE(CopyFileInto(source, target));
  EXPECT_EQ(ReadFileBytes(dir.path() / "db.txt"), "new");
}

TEST(CopyFileInto, ReportsWhatCouldNotBeCopied) {
  TempDir dir;
  WriteFileBytes(dir.path() / "a.txt", "a");
  const std::string into = dir.str("out") + platform::kPathSeparator;
  fs::create_directory(dir.path() / "out");
  EXPECT_FALSE(CopyFileInto("", into));
  EXPECT_FALSE(CopyFileInto(dir.str("a.txt"), ""));
  EXPECT_FALSE(CopyFileInto(dir.str("missing.txt"), into));
  EXPECT_FALSE(CopyFileInto(dir.str("out"), into));
  EXPECT_FALSE(CopyFileInto(dir.str("a.txt"), dir.str("no/such") + platform::kPathSeparator));
  EXPECT_TRUE(fs::is_empty(dir.path() / "out"));
}
