// Directories, the program's own path and reads that say when they fail, on both systems.
#include "platform/file_system.h"

#include <filesystem>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_identity.h"
#include "platform/file_open.h"
#include "platform/file_search.h"
#include "platform/folder_traits.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

TEST(FileSystem, MakesAndRecognisesDirectories) {
  testing_support::TempDir dir;
  const std::string sub = dir.str("sub");
  EXPECT_FALSE(platform::IsExistingDirectory(sub));
  EXPECT_TRUE(platform::MakeDirectory(sub));
  EXPECT_TRUE(platform::IsExistingDirectory(sub));
  EXPECT_FALSE(platform::MakeDirectory(sub));
  testing_support::WriteFileBytes(dir.path() / "file", "x");
  EXPECT_FALSE(platform::IsExistingDirectory(dir.str("file")));
  EXPECT_FALSE(platform::MakeDirectory(dir.str("missing/sub")));
}

TEST(FileSystem, ExecutablePathNamesThisProgram) {
  const fs::path self = platform::ExecutablePath().value;
  EXPECT_TRUE(fs::exists(self));
  EXPECT_EQ(self.stem().string(), "platform_tests");
}

TEST(FileSystem, CurrentDirectoryCanBeChanged) {
  testing_support::TempDir dir;
  const std::string saved = platform::CurrentDir().value;
  EXPECT_TRUE(platform::SetCurrentDir(dir.str()));
  EXPECT_TRUE(fs::equivalent(platform::CurrentDir().value, dir.path()));
  EXPECT_FALSE(platform::SetCurrentDir(""));
  EXPECT_FALSE(platform::SetCurrentDir(dir.str("missing")));
  EXPECT_TRUE(fs::equivalent(platform::CurrentDir().value, dir.path()));
  EXPECT_TRUE(platform::SetCurrentDir(saved));
}

// An empty file, a folder without a match, and what cannot be read at all:
// only the last carries a code, and only a missing path is "missing".
TEST(FileSystem, ReadsTellFailureFromAnEmptyAnswer) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.path() / "empty", "");
  const std::string empty = dir.str("empty");
  const std::string missing = dir.str("missing");
  struct Case {
    const char* read;
    std::function<int()> error;
    bool fails;
    bool missing;
  };
  const std::vector<Case> cases = {
      {"empty file", [&] { return platform::ReadWholeFile(empty).error; }, false, false},
      {"missing file", [&] { return platform::ReadWholeFile(missing).error; }, true, true},
      {"folder as file", [&] { return platform::ReadWholeFile(dir.str()).error; }, true, false},
      {"traits of a folder", [&] { return platform::FolderTraits(dir.str()).error; }, false, false},
      {"identity", [&] { return platform::FileIdentity(empty).error; }, false, false},
      {"missing identity", [&] { return platform::FileIdentity(missing).error; }, true, true},
      {"no match", [&] { return platform::FindMatchingNames(dir.str("*.none")).error; }, false, false},
      {"missing folder", [&] { return platform::FindMatchingNames(dir.str("missing/*")).error; }, true, true},
  };
  for (const Case& c : cases) {
    const int error = c.error();
    EXPECT_EQ(error != 0, c.fails) << c.read;
    EXPECT_EQ(platform::IsMissingError(error), c.missing) << c.read;
  }
  // No folder: no traits, whatever code the system gives for it.
  EXPECT_FALSE(platform::FolderTraits(empty).ok());
}
