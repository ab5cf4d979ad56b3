// Where entries land: names that stay inside the destination, and the join.
#include "zip/output_path.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

TEST(OutputPath, NamesThatStayInside) {
  for (const char* name : {"a.txt", "update/bin/app.dll", "dir/", "a/./b", "./a", "a..b", "..a",
                           "a/b..", ".hidden", "a\\b.txt", "a//b", "ab:c", "a/C:/b"}) {
    EXPECT_TRUE(landsInsideDestination(name)) << name;
  }
}

TEST(OutputPath, NamesThatCouldLeave) {
  for (const char* name : {"", "..", "../", "../x", "a/../../x", "a/..", "..\\x", "a\\..\\x",
                           "/x", "\\x", "//server/share", "\\\\server\\share", "C:x", "c:/x",
                           "Z:\\x", "a/.../x", "a/.. /x", "a/. ./x", "...."}) {
    EXPECT_FALSE(landsInsideDestination(name)) << name;
  }
}

TEST(OutputPath, JoinsWithTheSystemSeparatorAndForwardSlashes) {
  const std::string separator = platform::kPathSeparator;
  EXPECT_EQ(outputPathOf("dest", "update/app.exe"), "dest" + separator + "update/app.exe");
  EXPECT_EQ(outputPathOf("dest", "bin\\app.dll"), "dest" + separator + "bin/app.dll");
  EXPECT_EQ(outputPathOf("", "update/app.exe"), "update/app.exe");
}
