// Removing quotes around the archive and installation paths.
#include <gtest/gtest.h>

#include "UpGrade/update.h"

TEST(Trim, StripsTheSetAtBothEndsOnly) {
  EXPECT_EQ(Trim("\"C:\\My App\"", "\""), "C:\\My App");
  EXPECT_EQ(Trim("\"\"a\"b\"\"", "\""), "a\"b");
  EXPECT_EQ(Trim("plain", "\""), "plain");
  EXPECT_EQ(Trim("\"", "\""), "");
  EXPECT_EQ(Trim("\"\"\"", "\""), "");
  EXPECT_EQ(Trim("", "\""), "");
  EXPECT_EQ(Trim("  x y  ", " "), "x y");
}
