// The updater's own file among the files an update installs.
#include "install/install.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "util/paths.h"

namespace {

// The updater's program name as vendors ship it, whatever this copy is called.
constexpr const char kUpdaterName[] = "update.exe";

}  // namespace

bool IsUpdaterOwnFile(const std::string& fileName) {
  static const std::string ownName = FileNameOf(platform::ExecutablePath());
  return platform::SameFileName(fileName, kUpdaterName) ||
         (!ownName.empty() && platform::SameFileName(fileName, ownName));
}
