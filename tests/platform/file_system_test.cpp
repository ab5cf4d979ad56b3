// Directories and the program's own path, on both systems.
#include "platform/file_system.h"

#include <filesystem>

#include <gtest/gtest.h>

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
  const fs::path self = platform::ExecutablePath();
  EXPECT_TRUE(fs::exists(self));
  EXPECT_EQ(self.stem().string(), "platform_tests");
}

TEST(FileSystem, CurrentDirectoryCanBeChanged) {
  testing_support::TempDir dir;
  const std::string saved = platform::CurrentDir();
  EXPECT_TRUE(platform::SetCurrentDir(dir.str()));
  EXPECT_TRUE(fs::equivalent(platform::CurrentDir(), dir.path()));
  EXPECT_FALSE(platform::SetCurrentDir(""));
  EXPECT_FALSE(platform::SetCurrentDir(dir.str("missing")));
  EXPECT_TRUE(fs::equivalent(platform::CurrentDir(), dir.path()));
  EXPECT_TRUE(platform::SetCurrentDir(saved));
}
