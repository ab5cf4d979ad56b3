// Linux: the shipped program is static and loads nothing at run time: with
// the host's converters (glibc's gconv folders) hidden in a private mount
// namespace, an update logs what it logs with them, time stamps aside.
#include <unistd.h>

#include <regex>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

TEST_F(UpdateRun, LogsTheSameWithTheHostsConvertersHidden) {
  if (geteuid() != 0) GTEST_SKIP() << "a private mount namespace is made by root";
  const std::string hide =
      "for d in /usr/lib*/gconv /usr/lib/*/gconv; do [ ! -d $d ] || mount -t tmpfs none $d || exit 9; done;"
      "exec \"$@\"";
  const std::vector<std::string> args = {"--exeName",   "absent",    "--zipFile",
                                         zip_.string(), "--dstPath", installDir_.string()};
  std::vector<std::string> hidden = {"-m", "/bin/sh", "-c", hide, "sh", (updaterDir_ / "update").string()};
  hidden.insert(hidden.end(), args.begin(), args.end());
  WriteNewVersionArchive();
  std::string logs[2];
  for (int run = 0; run < 2; ++run) {
    fs::remove_all(updaterDir_ / "log");
    fs::remove_all(installDir_);
    fs::create_directories(installDir_);
    const RunResult result = run == 0 ? Update(args) : RunToEnd("/usr/bin/unshare", hidden, root_.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    logs[run] = std::regex_replace(LogText(), std::regex("(^|\n)[0-9:.-]+"), "$1");
  }
  EXPECT_NE(logs[0].find("update"), std::string::npos) << logs[0];
  EXPECT_EQ(logs[1], logs[0]);
}
