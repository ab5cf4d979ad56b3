// Mistaken and hostile input, end to end: each is refused before it can stop
// the application or write where it should not, and a failed extraction
// leaves the work directory as the clear left it.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;
using zip_testing::Claiming;

namespace {

bool OnWindows() { return std::string(platform::kPathSeparator) == "\\"; }

}  // namespace

// A mistyped installation would become a new one while the real application
// is stopped; a missing archive keeps its warning, whatever the destination.
TEST_F(UpdateRun, ADestinationThatIsNoDirectoryIsACommandLineError) {
  const std::uint32_t pid = StartInstalledApp();
  WriteNewVersionArchive();
  WriteFileBytes(root_.path() / "file.txt", "not a directory");
  const fs::path mistyped = root_.path() / "My Ap";
  for (const fs::path& dstPath : {mistyped, root_.path() / "file.txt"}) {
    RunResult result = UpdateApp(zip_.string(), dstPath.string());
    EXPECT_EQ(result.exitCode, 2);
    const std::string error = "not an existing directory: --dstPath=" + dstPath.string();
    EXPECT_EQ(result.err, error + "\n" + kUsage);
    ExpectLogInOrder({{kInfo, kDstPathLine, "DstPath:" + dstPath.string()},
                      {kError, kParseErrorLine, "error" + kLogColon + error + " cmd:" + kUsage}});
  }
  EXPECT_FALSE(fs::exists(mistyped));
  EXPECT_TRUE(IsAlive(pid));
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);

  RunResult missing = UpdateApp((root_.path() / "missing.zip").string(), mistyped.string());
  EXPECT_EQ(missing.exitCode, 0);
  EXPECT_FALSE(fs::exists(mistyped));
}

TEST_F(UpdateRun, AnArchiveDownloadedIntoTheWorkDirectoryIsInstalledAndKept) {
  StartInstalledApp();
  for (const fs::path& download : {installDir_ / "temp" / "new.zip", installDir_ / "temp" / "dl" / "new.zip"}) {
    zip_ = download;
    fs::create_directories(zip_.parent_path());
    WriteNewVersionArchive();
    RunResult result = UpdateApp(zip_.string(), installDir_.string());
    EXPECT_EQ(result.exitCode, 0) << download;
    EXPECT_TRUE(fs::exists(zip_)) << download;
    EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "version 2\n");
  }
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 3; }));
}

// Size 0 made every entry a directory: an empty file then blocked the install
// after the application had been stopped. Names past 255 bytes and a folder
// entry written twice, as archive tools write them, were refused.
TEST_F(UpdateRun, EmptyFilesAndEmptyDirectoriesAreInstalledAsSuch) {
  StartInstalledApp();
  WriteFileBytes(installDir_ / "app.lock", "");
  const std::string deep = std::string(200, 'd') + "/" + std::string(92, 'f');  // 300 bytes with "update/"
  WriteArchive(zip_.string(), {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                               File("update/app.lock", ""), File("update/pkg/__init__.py", ""),
                               Directory("update/cache/"), File("update/" + deep, "long"), Directory("update/cache/")});
  RunResult result = UpdateApp(zip_.string(), installDir_.string());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(installDir_ / deep), "long");
  for (const fs::path& file : {installDir_ / "app.lock", installDir_ / "pkg" / "__init__.py"}) {
    EXPECT_TRUE(fs::is_regular_file(file)) << file;
    EXPECT_EQ(fs::file_size(file), 0u) << file;
  }
  EXPECT_TRUE(fs::is_directory(installDir_ / "cache"));
  EXPECT_TRUE(fs::is_empty(installDir_ / "cache"));
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 2; }));
}

// Under Wine update/COM1 wrote to a serial port; a few bytes that claim
// exabytes filled the disk; a damaged entry left the entries before it.
TEST_F(UpdateRun, RefusedArchivesLeaveTheWorkDirectoryAsTheClearLeftIt) {
  const std::uint32_t pid = StartInstalledApp();
  fs::create_directories(installDir_ / "temp" / "kept");
  EntryRecipe damaged = File("update/b.txt", "stored bytes");
  damaged.method = zip_testing::kStored;
  damaged.raw = zip_testing::RawEntry{damaged.data.size(), 0x12345678};
  const std::vector<std::vector<EntryRecipe>> archives = {
      {File("update/a.txt", "a"), File("update/COM1", "bytes")},
      {File("update/a.txt", "a"), File("update/sub/lpt1.txt", "bytes")},
      {File("update/a.txt", "a"), Claiming("update/lib/huge.bin", 1ull << 62)},
      {File("update/a.txt", "a"), File("update/new/deep.txt", "d"), damaged}};
  for (const std::vector<EntryRecipe>& entries : archives) {
    WriteArchive(zip_.string(), entries);
    RunResult result = UpdateApp(zip_.string(), installDir_.string());
    EXPECT_EQ(result.exitCode, 3) << entries.back().name;
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(installDir_ / "temp")) {
      left.push_back(entry.path().filename().string());
    }
    // The clear leaves only the update folder it made; the refusal, nothing in it.
    EXPECT_EQ(left, std::vector<std::string>{"update"}) << entries.back().name;
  }
  ExpectLogInOrder({{kInfo, kExtractLine, "Extract File Ret:0"},
                    {kInfo, kExtractLine, "Extract File Ret:0"},
                    {kInfo, kExtractLine, "Extract File Ret:0"},
                    {kInfo, kExtractLine, "Extract File Ret:0"}});
  EXPECT_EQ(LogText().find("Stop Process Ret"), std::string::npos);
  EXPECT_TRUE(IsAlive(pid));
}

// The work directory, and anything in it, may be a link left by someone
// else: the clear removes links and never reaches what they lead to.
TEST_F(UpdateRun, LinksInTheWorkDirectoryAreRemovedNotFollowed) {
  if (OnWindows()) {
    GTEST_SKIP() << "Wine 8 makes no link for a Windows program (CreateSymbolicLinkA answers TRUE), "
                    "shows a Unix link to a file as a plain file, and follows Unix links when deleting "
                    "them (DeleteFileA removes a file's target, RemoveDirectoryA an empty one)";
  }
  StartInstalledApp();
  const fs::path outside = root_.path() / "outside";
  WriteFileBytes(outside / "precious.txt", "keep");
  fs::create_directory_symlink(outside, installDir_ / "temp");
  WriteNewVersionArchive();
  ASSERT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 0);
  EXPECT_FALSE(fs::is_symlink(installDir_ / "temp"));
  EXPECT_EQ(ReadFileBytes(outside / "precious.txt"), "keep");
  EXPECT_FALSE(fs::exists(outside / "update"));

  // Links inside: one to the outside directory where the archive has a
  // folder, one dangling where the archive has a file (the last run's copy
  // of that file makes way for it).
  fs::remove(installDir_ / "temp" / "update" / "readme.txt");
  fs::create_directory_symlink(outside, installDir_ / "temp" / "update" / "data");
  fs::create_symlink(root_.path() / "planted.txt", installDir_ / "temp" / "update" / "readme.txt");
  ASSERT_EQ(UpdateApp(zip_.string(), installDir_.string()).exitCode, 0);
  EXPECT_FALSE(fs::exists(root_.path() / "planted.txt"));
  EXPECT_EQ(ReadFileBytes(outside / "precious.txt"), "keep");
  EXPECT_FALSE(fs::exists(outside / "config.txt"));
  EXPECT_EQ(ReadFileBytes(installDir_ / "readme.txt"), "version 2\n");
  EXPECT_TRUE(WaitFor([&] { return AppRecords().size() == 3; }));
}
