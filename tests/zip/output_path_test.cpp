// Where entries land: names that stay inside the destination, and the join.
#include "zip/output_path.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

TEST(OutputPath, NamesThatStayInside) {
  for (const char* name : {"a.txt", "update/bin/app.dll", "dir/", "a/./b", "./a", "a..b", "..a", "a/b..", ".hidden",
                           "a\\b.txt", "a//b", "ab:c", "a/C:/b"}) {
    EXPECT_TRUE(landsInsideDestination(name)) << name;
  }
}

TEST(OutputPath, NamesThatCouldLeave) {
  for (const char* name :
       {"", "..", "../", "../x", "a/../../x", "a/..", "..\\x", "a\\..\\x", "/x", "\\x", "//server/share",
        "\\\\server\\share", "C:x", "c:/x", "Z:\\x", "a/.../x", "a/.. /x", "a/. ./x", "...."}) {
    EXPECT_FALSE(landsInsideDestination(name)) << name;
  }
}

TEST(OutputPath, JoinsWithTheSystemSeparatorAndKeepsTheName) {
  const std::string separator = platform::kPathSeparator;
  EXPECT_EQ(outputPathOf("dest", "update/app.exe"), "dest" + separator + "update/app.exe");
  // Windows takes a stored "\" as it is (it may be half of a GBK character,
  // as in 95 5C); Linux makes it a separator, so the file lands in bin/ too.
  const bool windows = separator == "\\";
  EXPECT_EQ(outputPathOf("dest", "bin\\app.dll"), "dest" + separator + (windows ? "bin\\app.dll" : "bin/app.dll"));
  EXPECT_EQ(outputPathOf("dest", "\x95\x5C.txt"), "dest" + separator + (windows ? "\x95\x5C.txt" : "\x95/.txt"));
  EXPECT_EQ(outputPathOf("", "update/app.exe"), "update/app.exe");
}
