// The installation directory a run will touch: only an existing directory.
#include <gtest/gtest.h>

#include "UpGrade/update.h"
#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

// An empty value (also quotes alone, once trimmed) would put the work
// directory at the root of the drive, so it is never run end to end here.
TEST(DestinationError, OnlyAnExistingDirectoryIsAnInstallation) {
  TempDir dir;
  WriteFileBytes(dir.path() / "file.txt", "x");
  const std::string separator = platform::kPathSeparator;
  EXPECT_EQ(DestinationError(dir.str()), "");
  EXPECT_EQ(DestinationError(dir.str() + separator), "");
  for (const std::string& refused :
       {Trim("\"\"", "\""), dir.str("missing"), dir.str("file.txt"), dir.str("missing") + separator + "deeper"}) {
    EXPECT_EQ(DestinationError(refused), "not an existing directory: --dstPath=" + refused);
  }
}
