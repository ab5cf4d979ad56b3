// Windows under Wine, which makes no link itself and honours no reparse
// flag: a Unix link planted where the extraction makes a folder (standing
// for a junction) or a file is met and refused, one where a copy lands is
// replaced; none is written through. The links are planted by the run's
// set-up (planted_links.sh).
#include "platform/extracted_file.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/file_copy.h"
#include "platform/folder_handle.h"
#include "platform/system_error.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tree_snapshot.h"

namespace fs = std::filesystem;

namespace {

// The folder planted_links.sh filled; empty when the test does not run
// through ctest.
fs::path PlantedLinks() {
  const char* planted = std::getenv("UPDATE_PLANTED_LINKS");
  return planted == nullptr ? fs::path() : fs::u8path(planted);
}

}  // namespace

TEST(ExtractedFile, NeverWrittenThroughALinkPlantedAtItsName) {
  const fs::path dir = PlantedLinks();
  if (dir.empty()) GTEST_SKIP() << "UPDATE_PLANTED_LINKS names no folder: run through ctest";
  const testing_support::TreeSnapshot victim = testing_support::SnapshotTree(dir / "victim");
  const platform::FolderHandle work = platform::FolderHandle::Open((dir / "planted").u8string());
  ASSERT_TRUE(work.ok());
  struct Case {
    const char* name;
    bool folder;
    bool exclusive;
  };
  for (const Case& c : {Case{"to-folder", true, true}, Case{"to-file", false, true}, Case{"to-file", false, false}}) {
    bool made = true;
    const bool opened =
        c.folder ? work.OwnChild(c.name, &made).ok() : platform::ExtractedFile(work, c.name, c.exclusive).ok();
    const int error = platform::LastSystemError();
    EXPECT_FALSE(opened) << c.name;
    EXPECT_TRUE(platform::IsLinkMetError(error)) << c.name << " " << error;
    EXPECT_FALSE(c.folder && made) << c.name;
  }
  EXPECT_EQ(testing_support::SnapshotTree(dir / "victim"), victim);
}

TEST(FileCopy, ReplacesALinkPlantedAtItsTarget) {
  const fs::path dir = PlantedLinks();
  if (dir.empty()) GTEST_SKIP() << "UPDATE_PLANTED_LINKS names no folder: run through ctest";
  const testing_support::TreeSnapshot victim = testing_support::SnapshotTree(dir / "victim");
  const testing_support::TempDir source;
  const fs::path copied = source.path() / "new.txt";
  testing_support::WriteFileBytes(copied, "the update's");
  ASSERT_TRUE(platform::CopyFileReplacing(copied.u8string(), (dir / "planted" / "copied-over").u8string()));
  EXPECT_EQ(testing_support::ReadFileBytes(dir / "planted" / "copied-over"), "the update's");
  EXPECT_EQ(testing_support::SnapshotTree(dir / "victim"), victim);
}
