// Windows: the installation named through another drive letter than the one
// Wine reports the program's path through.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

TEST_F(UpdateRun, StopsTheApplicationThroughAnotherDriveLetter) {
  const char* named = std::getenv("UPDATE_DRIVE_ALIAS");  // made by drive_c_alias.sh
  const std::string letter = named ? ReadFileBytes(named).substr(0, 2) : "";
  const std::string install = installDir_.string();
  if (letter.size() != 2 || install.rfind("C:\\", 0) != 0) GTEST_SKIP() << "no second letter for drive C";
  const std::uint32_t installed = StartInstalledApp();
  WriteNewVersionArchive();
  ASSERT_EQ(UpdateApp(zip_.string(), letter + install.substr(2)).exitCode, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(installed); }));
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
}
