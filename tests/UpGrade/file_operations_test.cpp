// The archive test, clearing the work directory and installing a tree, on real files.
#include "UpGrade/file_operations.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/UpGrade/install_fixture.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::InstallTest;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

void MakeReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

// Whether this system refuses to delete a read-only file in a read-only
// directory: Windows does; Linux does unless the user may override it.
bool ReadOnlyFilesResistDeletion(const fs::path& scratch) {
  const fs::path dir = scratch / "probe";
  WriteFileBytes(dir / "file", "x");
  MakeReadOnly(dir / "file");
  MakeReadOnly(dir);
  std::error_code error;
  return !fs::remove(dir / "file", error);
}

}  // namespace

TEST(FileExists, OnlyAnExistingFileCounts) {
  TempDir dir;
  WriteFileBytes(dir.path() / "update.zip", "PK");
  EXPECT_TRUE(FileExists(dir.str("update.zip")));
  EXPECT_FALSE(FileExists(dir.str()));
  EXPECT_FALSE(FileExists(dir.str("missing.zip")));
  EXPECT_FALSE(FileExists(dir.str("missing/update.zip")));
}

TEST(ClearDirectory, RefusesWhatIsNotADirectory) {
  TempDir dir;
  WriteFileBytes(dir.path() / "file", "kept");
  EXPECT_FALSE(ClearDirectory(dir.str("missing")));
  EXPECT_FALSE(ClearDirectory(dir.str("file")));
  EXPECT_EQ(ReadFileBytes(dir.path() / "file"), "kept");
  fs::create_directory(dir.path() / "empty");
  EXPECT_TRUE(ClearDirectory(dir.str("empty")));
  EXPECT_TRUE(fs::is_directory(dir.path() / "empty"));
}

TEST(ClearDirectory, DeletesEveryFileAndKeepsEveryDirectory) {
  TempDir dir;
  for (const char* file : {"a/1.txt", "a/2.bin", "a/b/3.txt", "a/b/c/4.txt", "a/b/c/5.txt"}) {
    WriteFileBytes(dir.path() / file, file);
  }
  fs::create_directories(dir.path() / "a" / "b" / "empty");
  EXPECT_TRUE(ClearDirectory(dir.str("a")));
  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path() / "a")) {
    if (!entry.is_directory()) left.push_back(entry.path().string());
  }
  EXPECT_TRUE(left.empty());
  for (const char* kept : {"a", "a/b", "a/b/c", "a/b/empty"}) EXPECT_TRUE(fs::is_directory(dir.path() / kept)) << kept;
}

TEST(ClearDirectory, FilesThatCannotBeDeletedStayAndTheClearSucceeds) {
  TempDir dir;
  if (!ReadOnlyFilesResistDeletion(dir.path())) GTEST_SKIP() << "this user may delete read-only files";
  WriteFileBytes(dir.path() / "work" / "gone.txt", "x");
  WriteFileBytes(dir.path() / "work" / "locked" / "stays.txt", "kept");
  WriteFileBytes(dir.path() / "work" / "locked" / "deeper" / "gone.txt", "x");
  MakeReadOnly(dir.path() / "work" / "locked" / "stays.txt");
  MakeReadOnly(dir.path() / "work" / "locked");
  EXPECT_TRUE(ClearDirectory(dir.str("work")));
  EXPECT_EQ(ReadFileBytes(dir.path() / "work" / "locked" / "stays.txt"), "kept");
  EXPECT_FALSE(fs::exists(dir.path() / "work" / "gone.txt"));
  EXPECT_FALSE(fs::exists(dir.path() / "work" / "locked" / "deeper" / "gone.txt"));
}

// Applications often download the update into the work directory: the clear
// keeps that one file, however its path is spelled, and deletes the rest.
TEST(ClearDirectory, NeverDeletesTheArchiveBeingInstalled) {
  TempDir dir;
  const std::string work = dir.str("temp");
  const std::string separator = platform::kPathSeparator;
  const std::vector<std::pair<fs::path, std::string>> archives = {
      {"new.zip", work + separator + "." + separator + "new.zip"},
      {"downloads/new.zip", work + separator + "downloads" + separator + separator + "new.zip"}};
  for (const auto& [archive, spelledOtherwise] : archives) {
    WriteFileBytes(dir.path() / "temp" / archive, "PK archive");
    WriteFileBytes(dir.path() / "temp" / "downloads" / "old.zip", "old");
    WriteFileBytes(dir.path() / "temp" / "left.txt", "left");
    EXPECT_TRUE(ClearDirectory(work, spelledOtherwise)) << archive;
    EXPECT_EQ(ReadFileBytes(dir.path() / "temp" / archive), "PK archive") << archive;
    EXPECT_FALSE(fs::exists(dir.path() / "temp" / "downloads" / "old.zip")) << archive;
    EXPECT_FALSE(fs::exists(dir.path() / "temp" / "left.txt")) << archive;
    fs::remove(dir.path() / "temp" / archive);
  }
}

using CopyTreeTest = InstallTest;

TEST_F(CopyTreeTest, EachFailedCopyIsLoggedAndTheOthersStillHappen) {
  const fs::path source = dir_.path() / "update";
  const fs::path app = dir_.path() / "app";
  WriteFileBytes(source / "a.txt", "new a");
  WriteFileBytes(source / "b.txt", "new b");
  WriteFileBytes(source / "c.txt", "new c");
  // A directory where the file should go: no system copies a file over it.
  fs::create_directories(app / "b.txt");
  EXPECT_FALSE(CopyTree(source.string(), app.string()));
  EXPECT_EQ(ReadFileBytes(app / "a.txt"), "new a");
  EXPECT_EQ(ReadFileBytes(app / "c.txt"), "new c");
  EXPECT_TRUE(fs::is_directory(app / "b.txt"));
  const std::vector<std::string> messages = CopyFailureMessages();
  ASSERT_EQ(messages.size(), 1u);
  const std::string prefix =
      "source:" + (source / "b.txt").string() + ", dist:" + (app / "b.txt").string() + ", error:";
  EXPECT_EQ(messages[0].substr(0, prefix.size()), prefix);
  EXPECT_GT(std::stoi(messages[0].substr(prefix.size())), 0);
}
