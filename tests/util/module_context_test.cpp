// The start-up context: splitting the executable's path, and the real start-up.
#include "util/module_context.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "log/log.h"
#include "platform/file_system.h"

namespace fs = std::filesystem;

TEST(SplitModulePath, DirectoryKeepsSeparatorAndNameLosesFourCharacters) {
  struct Case {
    const char* path;
    const char* dir;
    const char* name;
  };
  const Case cases[] = {
      {"C:\\app\\update.exe", "C:\\app\\", "update"},
      {"D:\\u.exe", "D:\\", "u"},
      {"C:\\x\\abc", "C:\\x\\", "abc"},
      {"C:\\x\\tool.bin2", "C:\\x\\", "tool."},
      {"C:\\x\\", "C:\\x\\", ""},
      {"update.exe", "", "update"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    const ModulePathParts parts = SplitModulePath(c.path, '\\');
    EXPECT_EQ(parts.dir, c.dir) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
  }
  EXPECT_EQ(SplitModulePath("/opt/app/update", '/').dir, "/opt/app/");
  EXPECT_EQ(SplitModulePath("/opt/app/update", '/').name, "up");
}

TEST(InitModuleContext, MakesTheExecutablesDirectoryCurrent) {
  const fs::path saved = fs::current_path();
  InitModuleContext();
  const fs::path executable = platform::ExecutablePath().value;
  EXPECT_EQ(ModuleDir, executable.parent_path().string() + platform::kPathSeparator);
  EXPECT_EQ(GetModuleDir(), ModuleDir);
  EXPECT_EQ(LogRoot, ModuleDir);
  const std::string file = executable.filename().string();
  EXPECT_EQ(GetModuleName(), file.substr(0, file.size() - 4));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), executable.parent_path()));
  fs::current_path(saved);
}
