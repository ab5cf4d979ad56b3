// Placing a tree into an installation on real files, on both systems:
// folders moved in and merged with what is already there, top-level files
// copied, the updater's own file left out.
#include "install/install.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file_names.h"
#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// What every update after the first meets: the directory is already installed.
TEST(PlaceFolder, MergesIntoAnExistingDirectoryOfThatName) {
  TempDir dir;
  const fs::path from = dir.path() / "temp" / "update" / "bin";
  const fs::path into = dir.path() / "app";
  WriteFileBytes(from / "same.dll", "new");
  WriteFileBytes(from / "added.dll", "added");
  WriteFileBytes(from / "deep" / "same.dat", "new deep");
  WriteFileBytes(from / "deep" / "more" / "added.dat", "added deep");
  fs::create_directories(from / "deep" / "empty");
  WriteFileBytes(into / "bin" / "same.dll", "old, and longer than the new file");
  WriteFileBytes(into / "bin" / "kept.dll", "kept");
  WriteFileBytes(into / "bin" / "deep" / "same.dat", "old deep");
  WriteFileBytes(into / "bin" / "deep" / "kept.dat", "kept deep");

  EXPECT_TRUE(PlaceFolder(from.string(), into.string(), nullptr));

  EXPECT_EQ(ReadFileBytes(into / "bin" / "same.dll"), "new");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "added.dll"), "added");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "kept.dll"), "kept");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "deep" / "same.dat"), "new deep");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "deep" / "kept.dat"), "kept deep");
  EXPECT_EQ(ReadFileBytes(into / "bin" / "deep" / "more" / "added.dat"), "added deep");
  EXPECT_TRUE(fs::is_directory(into / "bin" / "deep" / "empty"));
  EXPECT_FALSE(fs::exists(from));
  EXPECT_TRUE(fs::is_empty(from.parent_path()));
}

TEST(PlaceFolder, RefusesEmptyAndMissingPaths) {
  TempDir dir;
  WriteFileBytes(dir.path() / "from" / "x.txt", "x");
  fs::create_directory(dir.path() / "into");
  EXPECT_FALSE(PlaceFolder("", dir.str("into"), nullptr));
  EXPECT_FALSE(PlaceFolder(dir.str("from"), "", nullptr));
  EXPECT_FALSE(PlaceFolder(dir.str("missing"), dir.str("into"), nullptr));
  EXPECT_EQ(ReadFileBytes(dir.path() / "from" / "x.txt"), "x");
  EXPECT_TRUE(fs::is_empty(dir.path() / "into"));
}

TEST(PlaceTree, AMissingSourceIsNotWholeWithoutAFailedCopy) {
  TempDir dir;
  fs::create_directory(dir.path() / "app");
  const Placement placement = PlaceTree(dir.str("missing"), dir.str("app"));
  EXPECT_FALSE(placement.whole);
  EXPECT_TRUE(placement.failedCopies.empty());
}

TEST(PlaceTree, CopiesFilesAndMovesAndMergesDirectories) {
  TempDir dir;
  const fs::path source = dir.path() / "temp" / "update";
  const fs::path app = dir.path() / "app";
  WriteFileBytes(source / "app.exe", "new program");
  WriteFileBytes(source / "readme.txt", "new readme");
  WriteFileBytes(source / "lib" / "core.dll", "new core");
  WriteFileBytes(source / "lib" / "plugins" / "a.dll", "new a");
  WriteFileBytes(source / "fresh" / "data" / "x.dat", "fresh x");
  WriteFileBytes(app / "app.exe", "old program, longer than the new one");
  WriteFileBytes(app / "settings.ini", "user settings");
  WriteFileBytes(app / "lib" / "core.dll", "old core");
  WriteFileBytes(app / "lib" / "local.dll", "kept");
  WriteFileBytes(app / "lib" / "plugins" / "a.dll", "old a");
  WriteFileBytes(app / "lib" / "plugins" / "b.dll", "kept b");

  const Placement placement = PlaceTree(source.string(), app.string());
  EXPECT_TRUE(placement.whole);

  EXPECT_EQ(ReadFileBytes(app / "app.exe"), "new program");
  EXPECT_EQ(ReadFileBytes(app / "readme.txt"), "new readme");
  EXPECT_EQ(ReadFileBytes(app / "settings.ini"), "user settings");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "core.dll"), "new core");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "local.dll"), "kept");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "plugins" / "a.dll"), "new a");
  EXPECT_EQ(ReadFileBytes(app / "lib" / "plugins" / "b.dll"), "kept b");
  EXPECT_EQ(ReadFileBytes(app / "fresh" / "data" / "x.dat"), "fresh x");
  // Directories are moved out of the source; top-level files are copied.
  EXPECT_FALSE(fs::exists(source / "lib"));
  EXPECT_FALSE(fs::exists(source / "fresh"));
  EXPECT_EQ(ReadFileBytes(source / "app.exe"), "new program");
  EXPECT_TRUE(placement.failedCopies.empty());
}

TEST(PlaceTree, SkipsOnlyTheUpdatersOwnFileByName) {
  TempDir dir;
  // Below a directory whose name holds the updater's name, as an
  // installation under "update.exe.d" has it: only the file name counts.
  const fs::path source = dir.path() / "update.exe.d" / "update";
  const fs::path app = dir.path() / "app";
  fs::create_directory(app);
  const std::string ownName = fs::path(platform::ExecutablePath().value).filename().string();
  const bool namesFoldCase = platform::SameFileName("Update.exe", "update.exe");
  struct Case {
    std::string name;
    bool installed;
  };
  const std::vector<Case> cases = {
      {"update.exe", false},
      {ownName, false},
      {"Update.exe", !namesFoldCase},
      {"autoupdate.exe", true},
      {"update.exe.config", true},
      {"old_update.exe.bak", true},
      {"app.exe", true},
  };
  for (const Case& c : cases) {
    if (!fs::exists(source / c.name)) WriteFileBytes(source / c.name, "new " + c.name);
  }
  const Placement placement = PlaceTree(source.string(), app.string());
  EXPECT_TRUE(placement.whole);
  for (const Case& c : cases) {
    if (c.installed) {
      EXPECT_EQ(ReadFileBytes(app / c.name), "new " + c.name) << c.name;
    } else {
      EXPECT_FALSE(fs::exists(app / c.name)) << c.name;
    }
  }
  EXPECT_TRUE(placement.failedCopies.empty());
}
