// The folders a journal leads through, checked against its links.
#include "install/recorded_links.h"

#include <map>
#include <set>

#include "install/install_paths.h"
#include "platform/entry_type.h"
#include "platform/file_system.h"
#include "platform/symbolic_link.h"

namespace {

// Checks each folder on the way to the installation's `relative` (and the
// path itself when `itself`) once.
class FolderCheck {
 public:
  FolderCheck(const std::string& dstPath, const std::vector<JournalRecord>& records) : dstPath_(dstPath) {
    for (const JournalRecord& record : records) {
      if (record.kind == JournalRecord::kLinked) links_[record.path] = record.linkText;
    }
  }

  bool Check(const std::string& relative, bool itself, ChangedFolder& changed) {
    for (std::size_t end = relative.find(platform::kPathSeparator); end != std::string::npos;
         end = relative.find(platform::kPathSeparator, end + 1)) {
      if (!CheckFolder(relative.substr(0, end), changed)) return false;
    }
    return !itself || CheckFolder(relative, changed);
  }

 private:
  bool CheckFolder(const std::string& folder, ChangedFolder& changed) {
    if (!checked_.insert(folder).second) return true;
    const std::string path = JoinPath(dstPath_, folder);
    const auto recorded = links_.find(folder);
    const bool link = platform::EntryTypeOf(path) == platform::EntryType::kLink;
    if (recorded == links_.end()) {
      if (link) changed = {path, {}};
      return !link;
    }
    const platform::SystemRead<std::string> text = platform::LinkText(path);
    if (link && text.ok() && !recorded->second.empty() && text.value == recorded->second) return true;
    changed = {path, recorded->second};
    return false;
  }

  const std::string& dstPath_;
  std::map<std::string, std::string> links_;
  std::set<std::string> checked_;
};

}  // namespace

ChangedFolder FolderChangedSinceTheInstall(const std::string& dstPath, const std::vector<JournalRecord>& records) {
  FolderCheck check(dstPath, records);
  ChangedFolder changed;
  for (const JournalRecord& record : records) {
    if (!check.Check(record.path, record.kind == JournalRecord::kLinked, changed)) return changed;
  }
  return {};
}
