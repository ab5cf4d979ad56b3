// Windows only: folders whose paths are too long for the shell's buffers.
#include "install/install.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/directory_move.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace testing_support;

TEST(WindowsPlaceFolder, PathsTooLongForTheShellAreMovedByRenames) {
  TempDir dir;
  WriteFileBytes(dir.path() / "from" / "x.txt", "x");
  fs::create_directory(dir.path() / "into");
  // The same directories, spelled with enough "." steps not to fit 518 units.
  std::string longFrom = dir.str();
  while (longFrom.size() < 520) longFrom += "\\.";
  longFrom += "\\from";
  std::string longInto = dir.str();
  while (longInto.size() < 520) longInto += "\\.";
  longInto += "\\into";
  // The shell is not asked: its plain form cannot name them.
  EXPECT_EQ(platform::SystemMoveDirectoryInto(longFrom, dir.str("into"), nullptr), platform::MoveOutcome::LeftToMerge);
  EXPECT_TRUE(PlaceFolder(longFrom, longInto, nullptr));
  EXPECT_EQ(ReadFileBytes(dir.path() / "into" / "from" / "x.txt"), "x");
  EXPECT_FALSE(fs::exists(dir.path() / "from"));
}
