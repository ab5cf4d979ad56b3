// The installation's folders as the plan met them.
#include "install/install_folders.h"
#include "install/install_paths.h"

#include <utility>

#include "platform/file_system.h"

InstallFolders::InstallFolders(std::string dstPath) : dstPath_(std::move(dstPath)) {}

InstallFolders::InstallFolders(std::string dstPath, PlannedFolders planned)
    : dstPath_(std::move(dstPath)), planned_(true), folders_(std::move(planned)) {}

platform::FolderHandle InstallFolders::Open(const std::string& relative) const {
  platform::FolderHandle folder = platform::FolderHandle::Open(dstPath_);
  if (Swapped(folder, {}, {}, folder)) return {};
  for (std::size_t start = 0; !relative.empty() && folder.ok();) {
    const std::size_t end = relative.find(platform::kPathSeparator, start);
    const std::string name = relative.substr(start, end == std::string::npos ? end : end - start);
    folder = Child(folder, relative.substr(0, end), name);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return folder;
}

platform::FolderHandle InstallFolders::Child(const platform::FolderHandle& parent, const std::string& relative,
                                             const std::string& name) const {
  const auto planned = folders_.find(relative);
  const bool link = !planned_ || (planned != folders_.end() && planned->second.link);
  platform::FolderHandle child = parent.Child(name, link);
  if (Swapped(parent, name, relative, child)) return {};
  return child;
}

platform::FolderHandle InstallFolders::OpenParent(const std::string& relative, std::string& name) const {
  name = LastNameOf(relative);
  return Open(ParentOf(relative));
}

std::string InstallFolders::swappedSincePlan() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return swapped_;
}

// A folder the plan met that is now a link it did not meet, or another
// folder than the one it met. One that is gone is no swap: the rollback
// meets those it moved aside itself.
bool InstallFolders::Swapped(const platform::FolderHandle& parent, const std::string& name, const std::string& relative,
                             const platform::FolderHandle& child) const {
  const auto planned = folders_.find(relative);
  if (planned == folders_.end()) return false;
  if (child.ok() ? planned->second.identity.empty() || child.Is(planned->second.identity)
                 : name.empty() || parent.TypeOf(name) == platform::EntryType::kMissing) {
    return false;
  }
  const std::lock_guard<std::mutex> lock(mutex_);
  if (swapped_.empty()) swapped_ = relative.empty() ? dstPath_ : JoinPath(dstPath_, relative);
  return true;
}
