// Listing real directories: by extension through the system's search, and
// recursively through dlib.
#include "util/file_listing.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "util/paths.h"

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using Paths = std::vector<std::string>;

namespace {

Paths Sorted(Paths paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

// "<directory><separator><name>" for each name, sorted.
Paths Joined(const std::string& directory, const Paths& names) {
  Paths paths;
  for (const std::string& name : names) paths.push_back(directory + platform::kPathSeparator + name);
  return Sorted(paths);
}

}  // namespace

TEST(ListFilesByExtension, MatchesTheExtensionAsTheSystemSearchDoes) {
  TempDir dir;
  for (const char* name : {"a.txt", "b.TXT", "c.log", "d.txt.bak", "e", "f.tx"}) {
    WriteFileBytes(dir.path() / name, "x");
  }
  fs::create_directory(dir.path() / "sub.txt");
  WriteFileBytes(dir.path() / "sub.txt" / "inner.txt", "x");

  EXPECT_EQ(Sorted(ListFilesByExtension(dir.str(), "txt")), Joined(dir.str(), {"a.txt", "b.TXT", "sub.txt"}));
  EXPECT_EQ(Sorted(ListFilesByExtension(dir.str(), "t?t")), Joined(dir.str(), {"a.txt", "b.TXT", "sub.txt"}));
  EXPECT_EQ(Sorted(ListFilesByExtension(dir.str(), "*")),
            Joined(dir.str(), {".", "..", "a.txt", "b.TXT", "c.log", "d.txt.bak", "e", "f.tx", "sub.txt"}));
  EXPECT_EQ(ListFilesByExtension(dir.str(), "exe"), Paths());
  EXPECT_EQ(ListFilesByExtension(dir.str("missing"), "txt"), Paths());
}

TEST(ListFilesByExtension, NeverBeyondTheTwoHundredSixtyByteBuffer) {
  TempDir dir;
  const std::string directory = dir.str();
  // An extension that makes the pattern "<dir>\*.<ext>" exactly 259 bytes.
  const std::size_t fitting = 259 - directory.size() - 3;
  ASSERT_LT(fitting, 240u);
  const std::string ext(fitting, 'e');
  WriteFileBytes(dir.path() / ("f." + ext), "x");
  WriteFileBytes(dir.path() / ("f." + ext + "e"), "x");
  // The pattern fits, and so does the listed path, of the same length.
  EXPECT_EQ(ListFilesByExtension(directory, ext.c_str()), Joined(directory, {"f." + ext}));
  // One more byte and the pattern is refused, though a file matches.
  EXPECT_EQ(ListFilesByExtension(directory, (ext + "e").c_str()), Paths());
}

TEST(ListFilesByExtension, LeavesOutPathsLongerThanTheBuffer) {
  TempDir dir;
  const std::string directory = dir.str();
  const std::string ext(259 - directory.size() - 3, 'e');
  const fs::path longName = dir.path() / ("ff." + ext);
  WriteFileBytes(longName, "x");
  if (!fs::exists(longName)) GTEST_SKIP() << "this system keeps paths under 260 bytes";
  WriteFileBytes(dir.path() / ("f." + ext), "x");
  EXPECT_EQ(ListFilesByExtension(directory, ext.c_str()), Joined(directory, {"f." + ext}));
}

TEST(ListFilesRecursive, OwnFilesFirstThenEachSubdirectoryDepthFirst) {
  TempDir dir;
  for (const char* name : {"a.txt", "b.txt", "sub1/c.txt", "sub1/deep/d.txt", "sub2/e.txt"}) {
    WriteFileBytes(dir.path() / name, name);
  }
  fs::create_directory(dir.path() / "empty");

  Paths names;
  for (const dlib::file& file : ListFilesRecursive(dir.str(), true)) {
    names.push_back(file.name());
    // Each file holds its own relative path: the full name leads to it.
    const std::string contents = testing_support::ReadFileBytes(file.full_name());
    EXPECT_EQ(FileNameOf(contents), file.name());
  }
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(Sorted({names[0], names[1]}), Paths({"a.txt", "b.txt"}));
  const Paths rest(names.begin() + 2, names.end());
  EXPECT_TRUE(rest == Paths({"c.txt", "d.txt", "e.txt"}) || rest == Paths({"e.txt", "c.txt", "d.txt"}))
      << rest[0] << " " << rest[1] << " " << rest[2];

  Paths top;
  for (const dlib::file& file : ListFilesRecursive(dir.str(), false)) top.push_back(file.name());
  EXPECT_EQ(Sorted(top), Paths({"a.txt", "b.txt"}));
}

TEST(ListFilesRecursive, NothingForWhatIsNoDirectory) {
  TempDir dir;
  WriteFileBytes(dir.path() / "a.txt", "x");
  EXPECT_TRUE(ListFilesRecursive(dir.str("a.txt"), true).empty());
  EXPECT_TRUE(ListFilesRecursive(dir.str("missing"), true).empty());
  EXPECT_TRUE(ListFilesRecursive("", true).empty());
}
