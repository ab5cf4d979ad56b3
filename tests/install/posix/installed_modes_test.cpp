// Linux only: files of an archive made without Unix modes take the
// permission bits of the installed files they replace.
#include "install/install.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/zip/zip_test_helpers.h"
#include "zip/zip_reader.h"

namespace fs = std::filesystem;
using namespace zip_testing;

TEST(InstalledModes, FilesWithoutUnixModesTakeTheBitsOfWhatTheyReplace) {
  testing_support::TempDir dir;
  const fs::path install = dir.path() / "install";
  const fs::path work = install / "temp";
  struct Case {
    std::string name;        // below update/ and below the installation
    unsigned installedMode;  // 0: nothing installed there
    unsigned expectedMode;
  };
  const std::vector<Case> cases = {
      {"app", 0755, 0755},          // a program, though its entry says nothing of it
      {"bin/tool", 0750, 0750},     // also below a subdirectory
      {"private.key", 0600, 0600},  // narrower than extraction's default
      {"new.txt", 0, 0644},         // replaces nothing: what extraction gave it
      {"unix-made", 0755, 0644},    // its own Unix mode wins
      {"dir-in-the-way", 0, 0644},  // a directory installed there gives nothing
  };
  std::vector<EntryRecipe> entries;
  for (const Case& c : cases) {
    const std::string name = "update/" + c.name;
    entries.push_back(c.name == "unix-made" ? UnixFile(name, "made on Unix", 0100644) : File(name, "no Unix mode"));
    if (c.installedMode != 0) {
      testing_support::WriteFileBytes(install / c.name, "old");
      fs::permissions(install / c.name, static_cast<fs::perms>(c.installedMode));
    }
  }
  fs::create_directories(install / "dir-in-the-way");
  // Outside update/: not installed, so left alone.
  entries.push_back(File("app", "not installed"));
  ZipReader reader(AsBuffer(ArchiveBytes(entries)), "");
  ASSERT_TRUE(reader.extractAll(work.string()));

  KeepInstalledModes(reader.listEntries(), work.string(), install.string());

  for (const Case& c : cases)
    EXPECT_EQ(testing_support::PermissionsOf(work / "update" / c.name), c.expectedMode) << c.name;
  EXPECT_EQ(testing_support::PermissionsOf(work / "app"), 0644u);
}
