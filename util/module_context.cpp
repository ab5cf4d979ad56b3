// Start-up context: the executable's directory and name, current directory,
// locale, and the process cipher.
#include "util/module_context.h"

#include <clocale>

#include "cipher/process_cipher.h"
#include "log/log.h"
#include "platform/file_system.h"

std::string ModuleDir;
std::string ModuleName;

namespace {

int moduleDirNotCurrent = 0;

}  // namespace

ModulePathParts SplitModulePath(const std::string& path, char separator) {
  const std::size_t last = path.rfind(separator);
  const std::size_t dirLength = last == std::string::npos ? 0 : last + 1;
  const std::size_t nameLength = path.size() - dirLength;
  // Exactly four characters are cut as the extension; their text is not checked.
  const std::size_t keep = nameLength < 4 ? nameLength : nameLength - 4;
  return {path.substr(0, dirLength), path.substr(dirLength, keep)};
}

void InitModuleContext() {
  ModulePathParts parts = SplitModulePath(platform::ExecutablePath().value, platform::kPathSeparator[0]);
  ModuleDir = std::move(parts.dir);
  ModuleName = std::move(parts.name);
  // Relative paths and the relaunched application start from here; an empty
  // ModuleDir leaves the current directory as it was.
  moduleDirNotCurrent = ModuleDir.empty() || platform::SetCurrentDir(ModuleDir) ? 0 : platform::LastSystemError();
  std::setlocale(LC_ALL, "");
  // Once per process: a repeated call neither prints the start-up line again
  // nor replaces the cipher.
  CreateProcessCipher();
  // Set last: a line logged before this point goes below the empty root.
  SetLogRoot(ModuleDir);
}

int ModuleDirNotCurrentError() { return moduleDirNotCurrent; }

std::string GetModuleDir() { return ModuleDir; }
std::string GetModuleName() { return ModuleName; }
