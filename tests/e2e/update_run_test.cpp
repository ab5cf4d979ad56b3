// The built updater driven end to end: real archives, a real running
// application, the exit code, the installed files and the log.
#include <chrono>
#include <ctime>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"
#include "tests/support/short_name.h"
#include "util/utf.h"

using namespace update_e2e;

namespace {

std::tm LocalWriteTime(const fs::path& file) {
  using namespace std::chrono;
  const auto age = fs::file_time_type::clock::now() - fs::last_write_time(file);
  const auto written = system_clock::now() - duration_cast<system_clock::duration>(age) + milliseconds(500);
  const std::time_t seconds = system_clock::to_time_t(written);
  return *std::localtime(&seconds);
}

}  // namespace

TEST_F(UpdateRun, BareStartAndHelpShowTheUsage) {
  RunResult bare = Update({});
  EXPECT_EQ(bare.exitCode, 1);
  EXPECT_EQ(bare.out, kStartupLine);
  EXPECT_EQ(bare.err, kUsage);
  ExpectLogInOrder({{kError, kUsageLine, "error:" + kUsage}});

  // --help wins over any other option, valid or not, and nothing else is reported.
  RunResult help = Update({"--exeName", "a.exe", "--help", "--bogus"});
  EXPECT_EQ(help.exitCode, 1);
  EXPECT_EQ(help.err, kUsage);
  EXPECT_EQ(LogText().find("bogus"), std::string::npos);
}

TEST_F(UpdateRun, ParseFailureShowsFirstErrorAndUsage) {
  RunResult result = Update({"--exeName", "a.exe", "--zipFile", "x.zip"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "need option: --dstPath\n" + kUsage);
  // The first colon is the full-width one.
  ExpectLogInOrder({{kError, kParseErrorLine, "error" + kLogColon + "need option: --dstPath cmd:" + kUsage}});
}

TEST_F(UpdateRun, MissingArchiveLeavesTheApplicationAlone) {
  const std::uint32_t pid = StartInstalledApp();
  for (const fs::path& zip : {root_.path() / "missing.zip", root_.path()}) {
    RunResult result = UpdateApp(zip.string(), installDir_.string());
    EXPECT_EQ(result.exitCode, 0);
    ExpectLogInOrder({{kInfo, kZipFileLine, "ZipFile:" + zip.string()},
                      {kWarning, kNoArchiveLine, "Update File Is Not Exist:" + zip.string()},
                      {kInfo, kSuccessLine, "Update App Success!"}});
  }
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(AppRecords().size(), 1u);
  EXPECT_FALSE(fs::exists(installDir_ / "temp"));
}

TEST_F(UpdateRun, FullUpdateInstallsAndRelaunches) {
  const std::uint32_t oldPid = StartInstalledApp();
  WriteFileBytes(installDir_ / "data" / "old.txt", "kept");
  WriteFileBytes(installDir_ / "data" / "config.txt", "old config");
  WriteNewVersionArchive();

  // Quotes around the archive and the installation are removed before use.
  const std::string install = installDir_.string();
  RunResult result = UpdateApp("\"" + zip_.string() + "\"", "\"" + install + "\"");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, kStartupLine);
  // Linux writes the log's fixed words in UTF-8 too, so tools can read it.
  EXPECT_TRUE(LogInGbk() || IsValidUtf8(result.out + LogText())) << LogText();

  EXPECT_TRUE(WaitFor([&] { return !IsAlive(oldPid); }));
  EXPECT_EQ(ReadFileBytes(AppPath()), ReadFileBytes(HelperProgram("fake_app_v2")));
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "version 2\n");
  EXPECT_FALSE(fs::exists(installDir_ / "update.exe"));
  EXPECT_EQ(ReadFileBytes(installDir_ / "data" / "config.txt"), "new config");
  EXPECT_EQ(ReadFileBytes(installDir_ / "data" / "old.txt"), "kept");
  EXPECT_EQ(ReadFileBytes(installDir_ / "data" / "sub" / "deep.txt"), "deep");
  EXPECT_EQ(ReadFileBytes(installDir_ / "lib" / "new.dll"), "library");
  // Subdirectories were moved in, top-level files copied out of the work directory.
  EXPECT_FALSE(fs::exists(installDir_ / "temp" / "update" / "data"));
  EXPECT_TRUE(fs::exists(installDir_ / "temp" / "update" / "readme.txt"));

  for (const fs::path& file : {installDir_ / "readme.txt", installDir_ / "data" / "config.txt"}) {
    const std::tm stamp = LocalWriteTime(file);
    EXPECT_EQ(stamp.tm_year + 1900, kStampYear) << file;
    EXPECT_EQ(stamp.tm_mon + 1, kStampMonth) << file;
    EXPECT_EQ(stamp.tm_mday, kStampDay) << file;
    EXPECT_EQ(stamp.tm_hour, kStampHour) << file;
    EXPECT_EQ(stamp.tm_min, kStampMinute) << file;
    EXPECT_EQ(stamp.tm_sec, kStampSecond) << file;
  }

  // The new version runs from the installation, in the updater's directory.
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
  const AppRecord relaunched = AppRecords().back();
  EXPECT_EQ(relaunched.version, 2);
  EXPECT_TRUE(IsAlive(relaunched.pid));
  EXPECT_TRUE(fs::equivalent(relaunched.currentDir, updaterDir_)) << relaunched.currentDir;

  const std::string exePath = Joined(install, appName_);
  ExpectLogInOrder({{kInfo, kExeNameLine, "ExeName:" + appName_},
                    {kInfo, kZipFileLine, "ZipFile:" + zip_.string()},
                    {kInfo, kDstPathLine, "DstPath:" + install},
                    {kInfo, kClearLine, "Clear History File Ret:0"},
                    {kWarning, kOwnFileLine, "Updater's Own File Not Installed:update/update.exe"},
                    {kInfo, kStopLine, "Stop Process Ret:1"}});
  // 0: it started, on both systems.
  EXPECT_NE(LogText().find(" " + std::to_string(kRelaunchLine) + " Run " + exePath + " GetLastError = 0\n"),
            std::string::npos)
      << LogText();
  ExpectLogInOrder({{kInfo, kSuccessLine, "Update App Success!"}});

  // The next update clears what the last one left in the work directory.
  RunResult again = UpdateApp(zip_.string(), install);
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(relaunched.pid); }));
  ExpectLogInOrder({{kInfo, kSuccessLine, "Update App Success!"},
                    {kInfo, kClearLine, "Clear History File Ret:1"},
                    {kInfo, kStopLine, "Stop Process Ret:1"},
                    {kInfo, kSuccessLine, "Update App Success!"}});
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 3; }));
}

// What vendors' log readers may rely on: an update that goes well logs the
// described lines and nothing else, and the application is started again
// with no arguments. The one exception: an archive that carries the
// updater's own file logs one line naming it (FullUpdateInstallsAndRelaunches).
TEST_F(UpdateRun, AGoodUpdateLogsExactlyTheDescribedLinesAndPassesNoArguments) {
  const std::uint32_t oldPid = StartInstalledApp();
  WriteArchive(zip_.string(), {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                               File("update/readme.txt", "version 2\n"), File("update/data/config.txt", "new")});
  const RunResult result = UpdateApp(zip_.string(), installDir_.string());
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(oldPid); }));
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));

  // It learns which process still writes the run's last lines, and the file
  // they go to by its full path: the log's one file.
  const auto [updaterPid, logFile] = RelaunchVariables();
  EXPECT_EQ(updaterPid, std::to_string(result.pid));
  EXPECT_TRUE(fs::u8path(logFile).is_absolute()) << logFile;
  EXPECT_EQ(fs::u8path(logFile).lexically_normal(), fs::u8path(logFile)) << logFile;
  EXPECT_TRUE(fs::equivalent(fs::u8path(logFile).parent_path(), updaterDir_ / "log")) << logFile;
  EXPECT_EQ(std::distance(fs::directory_iterator(updaterDir_ / "log"), fs::directory_iterator()), 1);

  const std::regex numbered(std::string(kDriverLogSource) + " ([0-9]+) ");
  const std::string log = LogText();
  std::vector<int> lines;
  for (std::sregex_iterator it(log.begin(), log.end(), numbered), end; it != end; ++it) {
    lines.push_back(std::stoi((*it)[1]));
  }
  EXPECT_EQ(lines, (std::vector<int>{kExeNameLine, kZipFileLine, kDstPathLine, kClearLine, kStopLine, kRelaunchLine,
                                     kSuccessLine}))
      << log;
  EXPECT_EQ(WithLineFeeds(ReadFileBytes(AppPath().string() + ".args")), "\n\n");
}

// The updater kept in the installation under a long name: an entry under
// its 8.3 short name (Windows) is its own file, never installed over it.
TEST_F(UpdateRun, TheUpdatersOwnFileUnderItsShortNameIsNotInstalled) {
  const fs::path updater = installDir_ / ("Vendor Updater" + suffix_);
  fs::copy_file(updaterDir_ / ("update" + suffix_), updater);
  const std::string alias = ShortNameOf(updater);
  if (alias.empty()) GTEST_SKIP() << "no 8.3 short names on this system";
  const std::string program = ReadFileBytes(updater);
  WriteArchive(zip_.string(), {File("update/readme.txt", "version 2\n"), File("update/" + alias, "not the updater")});
  updaterDir_ = installDir_;
  const RunResult result = RunToEnd(
      updater.u8string(), {"--exeName", appName_, "--zipFile", zip_.u8string(), "--dstPath", installDir_.u8string()},
      root_.path());
  EXPECT_EQ(result.exitCode, 0) << LogText();
  EXPECT_TRUE(ReadFileBytes(updater) == program) << "the updater's file was written over";
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "version 2\n");
  ExpectLogInOrder({{kWarning, kOwnFileLine, "Updater's Own File Not Installed:update/" + alias}});
}

// A log that cannot be written (a file stands where its folder goes) is
// said once on standard error, with its path and the system's code; the run
// ends as it would have.
TEST_F(UpdateRun, AnUnwritableLogIsSaidOnceOnStandardError) {
  WriteFileBytes(updaterDir_ / "log", "not the log's folder");
  const RunResult result = UpdateApp((root_.path() / "missing.zip").string(), installDir_.string());
  EXPECT_EQ(result.exitCode, 0);
  std::smatch said;
  ASSERT_TRUE(std::regex_match(result.err, said,
                               std::regex("Log Not Written:(.+)[\\\\/]log_[0-9]{8}\\.txt, error:[1-9][0-9]*\n")))
      << result.err;
  EXPECT_TRUE(fs::equivalent(fs::u8path(said[1].str()), updaterDir_ / "log")) << said[1];
}

TEST_F(UpdateRun, ArchiveWithoutUpdateFolderInstallsNothingAndStopsNothing) {
  const std::uint32_t pid = StartInstalledApp();
  WriteArchive(zip_.string(), {File("other/readme.txt", "misplaced")});
  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  EXPECT_EQ(result.exitCode, 4);
  const std::string install = installDir_.string();
  ExpectLogInOrder(
      {{kError, kCopyLine, "Copy Files Source:" + Joined(Joined(install, "temp"), "update") + ", Target:" + install}});
  // Known before the stop, so the application keeps running.
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(AppRecords().size(), 1u);
  EXPECT_EQ(LogText().find("Update App Success!"), std::string::npos);
}

TEST_F(UpdateRun, BadArchivesFailExtractionWithoutTouchingAnything) {
  const std::uint32_t pid = StartInstalledApp();

  std::string damaged;
  {
    WriteArchive(zip_.string(), {File("update/big.txt", std::string(4000, 'a') + "tail")});
    damaged = ReadFileBytes(zip_);
    // The deflated data starts after the 30-byte local header and the name.
    damaged[30 + std::string("update/big.txt").size() + 4] ^= 0x55;
  }
  std::string escaping;
  {
    WriteArchive(zip_.string(), {File("update/ok.txt", "ok"), File("update/../../../evil.txt", "evil")});
    escaping = ReadFileBytes(zip_);
  }
  const std::vector<std::string> archives = {"this is not a zip archive", damaged, escaping};
  for (const std::string& bytes : archives) {
    WriteFileBytes(zip_, bytes);
    RunResult result = UpdateApp(zip_.string(), installDir_.string());
    EXPECT_EQ(result.exitCode, 3);
  }
  ExpectLogInOrder({{kInfo, kExtractLine, "Extract File Ret:0"},
                    {kInfo, kExtractLine, "Extract File Ret:0"},
                    {kInfo, kExtractLine, "Extract File Ret:0"}});
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_FALSE(fs::exists(root_.path() / "evil.txt"));
  EXPECT_FALSE(fs::exists(installDir_ / "evil.txt"));
  EXPECT_FALSE(fs::exists(installDir_ / "temp" / "update" / "ok.txt"));
}

TEST_F(UpdateRun, ApplicationNotRunningAndRelaunchFailing) {
  // Nothing of that name runs, and the archive does not bring the program.
  WriteArchive(zip_.string(), {File("update/readme.txt", "version 2\n")});
  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  EXPECT_EQ(result.exitCode, 0);
  ExpectLogInOrder({{kInfo, kStopLine, "Stop Process Ret:0"}});
  const std::regex relaunchFailed(
      " " + std::to_string(kRelaunchLine) + " Run " +
      std::regex_replace(Joined(installDir_.string(), appName_), std::regex(R"([\\^$.|?*+()\[\]{}])"), R"(\$&)") +
      " GetLastError = [1-9][0-9]*\n");
  EXPECT_TRUE(std::regex_search(LogText(), relaunchFailed)) << LogText();
  ExpectLogInOrder({{kInfo, kSuccessLine, "Update App Success!"}});
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "version 2\n");
}

// An updater kept in a deep folder logs beside itself and starts the
// application there. Windows' folders past 260 characters, started by their
// short form: TextPaths.PathsLongerThan260Characters.
TEST_F(UpdateRun, AnUpdaterInADeepFolderLogsAndRelaunchesThere) {
  if (platform::kPathSeparator[0] == '\\') GTEST_SKIP() << "a program past MAX_PATH starts by its short form there";
  const fs::path deep = root_.path() / std::string(200, 'd') / std::string(200, 'e') / "updater";
  fs::create_directories(deep);
  fs::rename(updaterDir_ / ("update" + suffix_), deep / ("update" + suffix_));
  updaterDir_ = deep;
  const std::uint32_t oldPid = StartInstalledApp();
  WriteArchive(zip_.string(), {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2")))});
  const RunResult result = UpdateApp(zip_.string(), installDir_.string());
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(WaitFor([&] { return !IsAlive(oldPid); }));
  ASSERT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
  EXPECT_TRUE(fs::equivalent(AppRecords().back().currentDir, updaterDir_)) << AppRecords().back().currentDir;
  ExpectLogInOrder({{kInfo, kStopLine, "Stop Process Ret:1"}, {kInfo, kSuccessLine, "Update App Success!"}});
}
