// Whether a program file is the installed application's.
#include "UpGrade/installed_program.h"

#include "platform/file_identity.h"
#include "platform/file_names.h"
#include "platform/file_system.h"

bool IsInstalledProgram(const std::string& programFile, const std::string& exeName, const std::string& dstPath) {
  const char separator = platform::kPathSeparator[0];
  std::size_t cut = programFile.rfind(separator);
  if (cut == std::string::npos || !platform::SameFileName(programFile.substr(cut + 1), exeName)) return false;
  for (;;) {
    std::string folder = programFile.substr(0, cut);
    // "" on Linux and "C:" on Windows stand for the root, which keeps its
    // separator: a bare "C:" names that drive's current directory.
    if (folder.find(separator) == std::string::npos) folder += separator;
    // Above a network share ("\\server\share") there is no folder.
    else if (folder.find_first_not_of(separator) == std::string::npos)
      return false;
    if (platform::IsSameFile(folder, dstPath)) return true;
    if (cut == 0 || folder.back() == separator) return false;
    cut = programFile.rfind(separator, cut - 1);
    if (cut == std::string::npos) return false;
  }
}
