// Linux: the shipped program is static and loads nothing at run time. With
// the host's converters (glibc's gconv folder) hidden in a private mount
// namespace, an update logs what it logs with them, time stamps aside.
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

namespace {

// Where distributions keep glibc's converters.
const char* const kGconvFolders[] = {"/usr/lib/x86_64-linux-gnu/gconv", "/usr/lib64/gconv", "/usr/lib/gconv"};

// The log without the time stamp that starts each line.
std::string Unstamped(const std::string& log) {
  std::istringstream lines(log);
  std::string text;
  for (std::string line; std::getline(lines, line);) {
    text += line.substr(std::min(line.find_first_not_of("0123456789-:."), line.size())) + "\n";
  }
  return text;
}

}  // namespace

TEST_F(UpdateRun, LogsTheSameWithTheHostsConvertersHidden) {
  if (geteuid() != 0 || access("/usr/bin/unshare", X_OK) != 0) {
    GTEST_SKIP() << "a private mount namespace is made by root with unshare";
  }
  std::string hide;
  for (const char* folder : kGconvFolders) {
    if (fs::is_directory(folder)) hide += std::string("mount -t tmpfs none ") + folder + " && ";
  }
  ASSERT_FALSE(hide.empty()) << "no gconv folder found to hide";
  const std::string updater = (updaterDir_ / "update").string();
  const std::vector<std::string> args = {"--exeName", "absent", "--zipFile", zip_.string(), "--dstPath",
                                         installDir_.string()};
  std::vector<std::string> hidden = {"-m", "/bin/sh", "-c", hide + "exec \"$0\" \"$@\"", updater};
  hidden.insert(hidden.end(), args.begin(), args.end());
  WriteNewVersionArchive();

  std::string logs[2];
  for (int run = 0; run < 2; ++run) {
    fs::remove_all(updaterDir_ / "log");
    fs::remove_all(installDir_);
    fs::create_directories(installDir_);
    const RunResult result = run == 0 ? Update(args) : RunToEnd("/usr/bin/unshare", hidden, root_.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    logs[run] = Unstamped(LogText());
  }
  EXPECT_NE(logs[0].find("update"), std::string::npos) << logs[0];
  EXPECT_EQ(logs[1], logs[0]);
}
