// Running real programs: captured output, exit codes, a child that outlives
// its output, and the bounded wait.
#include "util/run_program.h"

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A helper program built beside this test, quoted for a command line.
std::string Helper(const std::string& name) {
  const fs::path self = platform::ExecutablePath().value;
  return "\"" + (self.parent_path() / (name + self.extension().string())).string() + "\"";
}

// Lets a wait_for_file child go and waits (at most a minute) until it has.
void Release(const fs::path& marker) {
  WriteFileBytes(marker, "go");
  fs::path seen = marker;
  seen += ".seen";
  for (int i = 0; i < 1200 && !fs::exists(seen); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(fs::exists(seen));
}

std::uint32_t RunCapturing(const std::string& commandLine, std::string& output, std::string& printed) {
  std::ostringstream stream;
  testing::internal::CaptureStdout();
  const std::uint32_t exitCode = RunCaptureOutput(commandLine, stream);
  printed = testing::internal::GetCapturedStdout();
  output = stream.str();
  return exitCode;
}

}  // namespace

TEST(RunCaptureOutput, CopiesOutputAndReturnsTheExitCode) {
  std::string output;
  std::string printed;
  EXPECT_EQ(RunCapturing(Helper("child_output") + " 3 abc", output, printed), 3u);
  EXPECT_EQ(output, "abc");
  EXPECT_EQ(printed, "line = abc");
}

TEST(RunCaptureOutput, MissingProgramGivesOneAndNoOutput) {
  std::string output;
  std::string printed;
  EXPECT_EQ(RunCapturing("update_no_such_program_here", output, printed), 1u);
  EXPECT_EQ(RunCapturing("\"" + TempDir().str("missing program") + "\" x", output, printed), 1u);
  EXPECT_EQ(output, "");
  EXPECT_EQ(printed, "");
}

TEST(RunCaptureOutput, ErrorsShareThePipeAndLongOutputComesInPieces) {
  std::string output;
  std::string printed;
  EXPECT_EQ(RunCapturing(Helper("child_output") + " 0 #20000 !err", output, printed), 0u);
  ASSERT_EQ(output.size(), 20003u);
  EXPECT_EQ(output.substr(0, 30), "abcdefghijklmnopqrstuvwxyzabcd");
  EXPECT_EQ(output.substr(20000), "err");
  // At most 8191 bytes per piece: at least three pieces, each printed with its prefix.
  std::size_t pieces = 0;
  for (std::size_t at = printed.find("line = "); at != std::string::npos; at = printed.find("line = ", at)) {
    printed.erase(at, 7);
    ++pieces;
  }
  EXPECT_GE(pieces, 3u);
  EXPECT_EQ(printed, output);
}

TEST(RunCaptureOutput, ArgumentsArriveAsTheWindowsRuntimeSplitsThem) {
  std::string output;
  std::string printed;
  const std::string arguments = R"( 0 "a b" c\"d "x\\" y\\z "" "q""r")";
  EXPECT_EQ(RunCapturing(Helper("child_output") + arguments, output, printed), 0u);
  EXPECT_EQ(output, R"(a b|c"d|x\|y\\z||q"r)");
}

TEST(RunCaptureOutput, ChildRunningOnAfterClosingItsOutputGivesStillActive) {
  TempDir dir;
  std::string output;
  std::string printed;
  const std::string marker = dir.str("release");
  EXPECT_EQ(RunCapturing(Helper("wait_for_file") + " \"" + marker + "\"", output, printed), 259u);
  EXPECT_EQ(output, "");
  Release(marker);
}

TEST(RunAndWait, WaitsForTheEndWithinTheLimit) {
  TempDir dir;
  const std::string marker = dir.str("release");
  WriteFileBytes(marker, "go");
  ASSERT_TRUE(RunAndWait(Helper("wait_for_file") + " \"" + marker + "\"", 60000));
  EXPECT_TRUE(fs::exists(marker + ".seen"));
}

TEST(RunAndWait, ReturnsAtTheLimitWhileTheChildRunsOn) {
  TempDir dir;
  const std::string marker = dir.str("release");
  ASSERT_TRUE(RunAndWait(Helper("wait_for_file") + " \"" + marker + "\"", 100));
  EXPECT_FALSE(fs::exists(marker + ".seen"));
  Release(marker);
}

TEST(RunAndWait, MissingProgramIsNotStarted) {
  EXPECT_FALSE(RunAndWait("update_no_such_program_here", 1000));
  EXPECT_FALSE(RunAndWait("", 1000));
}
