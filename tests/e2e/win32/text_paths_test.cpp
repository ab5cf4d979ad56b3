// Windows paths outside the ANSI code page and longer than 260 characters,
// driven end to end: the updater, its log, the archive and the installation.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include <windows.h>

#include "tests/e2e/update_run_fixture.h"

using namespace update_e2e;

namespace {

// One word in every folder and file name of a row: the ANSI code page shows
// it in its own bytes, or as "?" where it lacks a character.
const std::string kWord = u8"中文é";

std::string Replaced(std::string text, const std::string& word, const std::string& by) {
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + by.size())) {
    text.replace(at, word.size(), by);
  }
  return text;
}

// No program starts by a path longer than MAX_PATH; the system starts it by
// its short (8.3) form.
std::string StartablePath(const fs::path& program) {
  if (program.wstring().size() < MAX_PATH) return program.u8string();
  const std::wstring extended = L"\\\\?\\" + program.wstring();
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = GetShortPathNameW(extended.c_str(), buffer, MAX_PATH);
  return length > 4 && length < MAX_PATH ? fs::path(std::wstring(buffer + 4, length - 4)).u8string() : "";
}

class TextPaths : public UpdateRun {
 protected:
  // The updater moves to `updaterDir`, the installation to `installDir`.
  void Place(const fs::path& updaterDir, const fs::path& installDir) {
    updaterDir_ = updaterDir;
    installDir_ = installDir;
    fs::create_directories(updaterDir_);
    fs::create_directories(installDir_);
    fs::copy_file(HelperProgram("update"), updaterDir_ / ("update" + suffix_), fs::copy_options::overwrite_existing);
  }

  // Runs the updater on the new version at `zip` and checks what every row
  // must show: exit 0, version 2 installed and started (the version running
  // before stopped), the log beside the updater naming the paths as shown.
  void ExpectUpdate(const fs::path& zip, const std::string& shownZip, const std::string& shownInstall,
                    bool appRunning) {
    const std::uint32_t oldPid = appRunning ? StartInstalledApp() : 0;
    const RunResult result = RunToEnd(
        StartablePath(updaterDir_ / ("update" + suffix_)),
        {"--exeName", appName_, "--zipFile", zip.u8string(), "--dstPath", installDir_.u8string()}, root_.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(WaitFor([&] { return !IsAlive(oldPid); }));
    EXPECT_TRUE(ReadFileBytes(AppPath()) == ReadFileBytes(HelperProgram("fake_app_v2"))) << "not installed";
    ASSERT_TRUE(WaitFor([&] { return !AppRecords().empty() && AppRecords().back().version == 2; }));
    // In the updater's folder, by its short form where it is too long to be current.
    EXPECT_TRUE(fs::equivalent(fs::u8path(AppRecords().back().currentDir), fs::u8path(StartablePath(updaterDir_))))
        << AppRecords().back().currentDir;
    ExpectLogInOrder({{kInfo, kZipFileLine, "ZipFile:" + shownZip},
                      {kInfo, kDstPathLine, "DstPath:" + shownInstall},
                      {kInfo, kSuccessLine, "Update App Success!"}});
    for (const AppRecord& record : AppRecords()) KillProcess(record.pid);
  }
};

}  // namespace

// Run by ctest once per code page (UPDATE_CODE_PAGE, with the LANG that
// gives it: Wine takes the code page from LANG, and a locale that is not
// generated silently gives 1252).
// Entry names: archive tools flag names beyond ASCII as UTF-8; a name
// without the flag is in the ANSI code page, as Windows tools wrote them.
TEST_F(TextPaths, FoldersArchiveAndEntryNamesOutsideTheCodePage) {
  struct Row {
    std::string codePage;
    std::string shownWord;
    std::string unflagged;  // an entry name in the code page
    std::string installed;  // that name as it must be installed
  };
  const Row rows[] = {{"1252", "??\xE9", "caf\xE9 ansi.txt", u8"café ansi.txt"},
                      {"936", "\xD6\xD0\xCE\xC4\xA8\xA6", "\xCE\xC4\xB5\xB5 ansi.txt", u8"文档 ansi.txt"}};
  std::vector<std::string> flagged = {u8"café.txt", u8"文档/说明.txt", u8"Ελληνικά.txt"};
  const char* wanted = std::getenv("UPDATE_CODE_PAGE");
  if (wanted == nullptr) GTEST_SKIP() << "run by ctest under each code page";
  for (const Row& row : rows) {
    if (row.codePage != wanted) continue;
    ASSERT_EQ(WithLineFeeds(RunToEnd(HelperProgram("ansi_code_page"), {}, root_.path()).out), row.codePage + "\n");
    Place(root_.path() / fs::u8path("updater " + kWord), root_.path() / fs::u8path("my app " + kWord));
    const fs::path zip = root_.path() / fs::u8path(kWord) / fs::u8path("new " + kWord + ".zip");
    std::vector<EntryRecipe> entries = {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                                        File("update/" + row.unflagged, row.installed)};
    for (const std::string& name : flagged) {
      entries.push_back(File("update/" + name, name));
      entries.back().flags = zip_testing::kUtf8NameFlag;
    }
    WriteArchive(zip_.string(), entries);
    fs::create_directories(zip.parent_path());
    fs::rename(zip_, zip);
    ExpectUpdate(zip, Replaced(zip.u8string(), kWord, row.shownWord),
                 Replaced(installDir_.u8string(), kWord, row.shownWord), /*appRunning=*/true);
    std::vector<std::string> installed;  // the names the file system holds
    for (const auto& entry : fs::recursive_directory_iterator(installDir_)) {
      installed.push_back(entry.path().lexically_relative(installDir_).generic_u8string());
    }
    flagged.push_back(row.installed);
    for (const std::string& name : flagged) {
      EXPECT_NE(std::find(installed.begin(), installed.end(), name), installed.end()) << name;
    }
    return;
  }
  FAIL() << "no row for code page " << wanted;
}

TEST_F(TextPaths, PathsLongerThan260Characters) {
  struct Row {
    const char* what;
    fs::path installDir;
    bool updaterInside;
    std::string newFolder;  // a folder the installation does not have yet
  };
  const Row rows[] = {
      {"a new folder whose installed path exceeds 260", root_.path() / "short", false, std::string(230, 'n')},
      {"an installation deeper than 260 holding the updater",
       root_.path() / std::string(200, 'd') / std::string(80, 'e'), true, "data"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Place(row.updaterInside ? row.installDir : root_.path() / "updater", row.installDir);
    WriteArchive(zip_.string(), {Program("update/" + appName_, ReadFileBytes(HelperProgram("fake_app_v2"))),
                                 File("update/" + row.newFolder + "/file.txt", "new folder")});
    ExpectUpdate(zip_, zip_.u8string(), installDir_.u8string(), /*appRunning=*/!row.updaterInside);
    const fs::path installed = installDir_ / row.newFolder / "file.txt";
    EXPECT_GT(installed.wstring().size(), 260u);
    EXPECT_EQ(ReadFileBytes(installed), "new folder");
  }
}
