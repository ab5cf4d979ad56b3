// The path routines of extraction: tidyPath, parentPathOf, makeDirectoryPath.
#include "zip/zip_paths.h"

#include <filesystem>
#include <utility>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

TEST(ZipPaths, TidyPathSamples) {
  const std::pair<const char*, const char*> samples[] = {{"C:/inst/temp/../x", "C:/inst/x"},
                                                         {"C:\\inst\\temp\\..\\x", "C:/inst/x"},
                                                         {"a/./b//c", "a/b/c"},
                                                         {"x/a/../../b", "x/../b"},
                                                         {"a/b/..", "a/b/.."},
                                                         {"a/b/c/../../d", "a/d"},
                                                         {"././a/b", "a/b"},
                                                         {"a/././b", "a/b"},
                                                         {"a///b", "a/b"},
                                                         {"//server//share/x", "//server/share/x"},
                                                         {"../a/b", "../a/b"},
                                                         {"/../a", "/../a"},
                                                         {"", ""}};
  for (const auto& [path, tidy] : samples) EXPECT_EQ(tidyPath(path), tidy) << path;
}

TEST(ZipPaths, ParentPathSamples) {
  const std::string separator = platform::kPathSeparator;
  EXPECT_EQ(parentPathOf("C:/a/b.txt"), "C:/a");
  EXPECT_EQ(parentPathOf("C:/a/b/"), "C:/a");
  EXPECT_EQ(parentPathOf("dest" + separator + "update/bin/app.dll"), "dest" + separator + "update/bin");
  EXPECT_EQ(parentPathOf("dest" + separator + "update/"), "dest");
  EXPECT_EQ(parentPathOf("name"), "");
  EXPECT_EQ(parentPathOf("name/"), "");
  EXPECT_EQ(parentPathOf("/"), "");
  EXPECT_EQ(parentPathOf(""), "");
}

TEST(ZipPaths, MakeDirectoryPathCreatesMissingAncestors) {
  testing_support::TempDir dir;
  EXPECT_TRUE(makeDirectoryPath(dir.str() + "/a/b/../c/d/"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "a" / "c" / "d"));
  EXPECT_FALSE(fs::exists(dir.path() / "a" / "b"));
  // Present already, with and without a trailing separator.
  EXPECT_TRUE(makeDirectoryPath(dir.str("a")));
  EXPECT_TRUE(makeDirectoryPath(dir.str("a") + "/"));
  EXPECT_TRUE(makeDirectoryPath(dir.str("a") + platform::kPathSeparator));

  testing_support::WriteFileBytes(dir.path() / "file", "x");
  EXPECT_FALSE(makeDirectoryPath(dir.str("file")));
  EXPECT_FALSE(makeDirectoryPath(dir.str("file") + "/sub"));
  EXPECT_FALSE(makeDirectoryPath(""));
}
