// The path routines of extraction: tidyPath, parentPathOf, makeDirectoryPath.
#include "zip/zip_paths.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

TEST(ZipPaths, TidyPathSamples) {
  EXPECT_EQ(tidyPath("C:/inst/temp/../x"), "C:/inst/x");
  EXPECT_EQ(tidyPath("C:\\inst\\temp\\..\\x"), "C:/inst/x");
  EXPECT_EQ(tidyPath("a/./b//c"), "a/b/c");
  EXPECT_EQ(tidyPath("x/a/../../b"), "x/../b");
  EXPECT_EQ(tidyPath("a/b/.."), "a/b/..");
  EXPECT_EQ(tidyPath("a/b/c/../../d"), "a/d");
  EXPECT_EQ(tidyPath("././a/b"), "a/b");
  EXPECT_EQ(tidyPath("a/././b"), "a/b");
  EXPECT_EQ(tidyPath("a///b"), "a/b");
  EXPECT_EQ(tidyPath("//server//share/x"), "//server/share/x");
  EXPECT_EQ(tidyPath("../a/b"), "../a/b");
  EXPECT_EQ(tidyPath("/../a"), "/../a");
  EXPECT_EQ(tidyPath(""), "");
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
