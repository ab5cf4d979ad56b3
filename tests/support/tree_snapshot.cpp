// Test support: a whole directory tree as one comparable value.
#include "tests/support/tree_snapshot.h"

#include <system_error>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace testing_support {

TreeSnapshot SnapshotTree(const fs::path& root, const std::string& skipped) {
  TreeSnapshot snapshot;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); it != fs::recursive_directory_iterator();
       it.increment(error)) {
    const std::string relative = fs::relative(it->path(), root).generic_string();
    if (!skipped.empty() && relative.substr(0, relative.find('/')) == skipped) {
      it.disable_recursion_pending();
      continue;
    }
    const std::string mode = std::to_string(static_cast<unsigned>(it->status().permissions() & fs::perms::mask));
    snapshot[relative] = mode + ":" + (it->is_directory() ? "<dir>" : ReadFileBytes(it->path()));
  }
  return snapshot;
}

void WriteTree(const fs::path& root, const std::map<std::string, std::string>& files) {
  for (const auto& [relative, bytes] : files) {
    if (relative.back() == '/') {
      fs::create_directories(root / relative);
    } else {
      WriteFileBytes(root / relative, bytes);
    }
  }
}

}  // namespace testing_support
