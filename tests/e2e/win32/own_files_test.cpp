// Under Wine: a Unix link planted, by the host's own ln, where the updater
// makes or clears a file or folder of its own. Wine shows a link to a file as
// that file and opens what it leads to whatever the flags say, and its
// DeleteFileW, MoveFileW and RemoveDirectoryW act on what a link leads to;
// Wine 8 makes neither symbolic links nor junctions itself, so a link to a
// folder, which Wine shows as a reparse point, stands for a junction.
// Nothing outside the installation changes.
#include <string>
#include <vector>

#include <windows.h>
#include <gtest/gtest.h>

#include "install/install.h"
#include "tests/e2e/install_fixture.h"

using namespace update_e2e;

namespace {

// The host's path of `path`; empty when not under Wine.
std::string HostPath(const fs::path& path) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* name = unixName == nullptr ? nullptr : unixName(path.c_str());
  if (name == nullptr) return {};
  std::string host = name;
  HeapFree(GetProcessHeap(), 0, name);
  return host;
}

// Starts the host's `program` (Wine starts Unix programs).
bool RunHost(const std::wstring& program, const std::string& arguments) {
  std::wstring line = program + L" " + std::wstring(arguments.begin(), arguments.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

struct PlantedLink {
  std::string relative;  // where the link stands, relative to the installation
  bool toFolder;         // to the user's folder, else to the user's file
  int exitCode;
  bool named;  // the run names it (220)
};

}  // namespace

TEST_F(InstallRun, ALinkWhereTheUpdaterKeepsItsOwnFilesLeadsNowhere) {
  if (HostPath(root_.path()).empty() || GetFileAttributesW(L"Z:\\bin\\ln") == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "plants Unix links: under Wine only";
  }
  const TreeSnapshot newVersion = NewVersion();
  const fs::path theirs = root_.path() / "theirs";
  const std::string work = std::string(kWorkDirName) + "\\";
  const std::vector<PlantedLink> cases = {{kLockName, false, 4, true},
                                          {kProbeName, false, 4, true},
                                          {work + "planted", false, 0, false},
                                          {work + "linked", true, 0, false},
                                          {work + kUpdateDirName, true, 3, true}};
  for (const PlantedLink& planted : cases) {
    WriteOldVersion();
    const TreeSnapshot oldVersion = Installation();
    fs::remove_all(theirs);
    // An empty folder is what a removal through the link would take.
    fs::create_directories(theirs / "empty");
    WriteFileBytes(theirs / "thesis.docx", "the user's");
    const TreeSnapshot before = SnapshotTree(theirs);
    const fs::path at = installDir_ / planted.relative;
    fs::create_directories(at.parent_path());
    const fs::path target = planted.toFolder ? theirs / (planted.exitCode == 0 ? "empty" : "") : theirs / "thesis.docx";
    ASSERT_TRUE(RunHost(L"Z:\\bin\\ln", "-s \"" + HostPath(target) + "\" \"" + HostPath(at) + "\""));
    // Wine does not wait for a Unix program it starts.
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesW(at.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << planted.relative << " not planted";
    const RunResult result = UpdateWithoutApp(zip_.string());
    EXPECT_EQ(result.exitCode, planted.exitCode) << planted.relative;
    if (planted.named) {
      ExpectLogInOrder({{kError, kOwnNameLinkLine, "Link Where Own File Should Be:" + at.string()}});
    }
    EXPECT_EQ(SnapshotTree(theirs), before) << planted.relative;
    RunHost(L"Z:\\bin\\rm", "-f \"" + HostPath(at) + "\"");
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesW(at.c_str()) == INVALID_FILE_ATTRIBUTES; }));
    EXPECT_EQ(Installation(), planted.exitCode == 0 ? newVersion : oldVersion) << planted.relative;
  }
}
