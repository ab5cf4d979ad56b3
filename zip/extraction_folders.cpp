// The folders an extraction writes into, and what it made in them.
#include "zip/extraction_folders.h"

#include <utility>

#include "platform/directory_move.h"
#include "platform/entry_type.h"
#include "platform/system_error.h"
#include "zip/zip_paths.h"

namespace {

// Descriptors are a bounded resource, and an archive may hold thousands of
// folders; the archive's order keeps a folder's entries together.
constexpr std::size_t kMostHeld = 64;

std::string joined(const std::vector<std::string>& names, std::size_t count) {
  std::string key;
  for (std::size_t i = 0; i < count; ++i) key += (i == 0 ? "" : "/") + names[i];
  return key;
}

}  // namespace

ExtractionFolders::ExtractionFolders(std::string destination, bool exclusive)
    : destination_(std::move(destination)), exclusive_(exclusive) {}

ExtractionFolders::~ExtractionFolders() { removeMade(); }

bool ExtractionFolders::holdOwnFolder(const std::string& relative, ExtractionFailure& failure) {
  const std::vector<std::string> names = entryPathNames(relative);
  const platform::FolderHandle folder = open(names, names.size(), /*make=*/true, failure);
  if (!folder.ok()) return false;
  if (!folder.OwnedByThisUser()) {
    failure = {ExtractionFailure::Kind::kForeignFolder, folder.path(), {}, 0};
    return false;
  }
  const std::lock_guard<std::mutex> lock(mutex_);
  pinned_[joined(names, names.size())] = folder;
  return true;
}

bool ExtractionFolders::makeFolder(const std::string& relative, ExtractionFailure& failure) {
  const std::vector<std::string> names = entryPathNames(relative);
  return open(names, names.size(), /*make=*/true, failure).ok();
}

platform::FolderHandle ExtractionFolders::parentOf(const std::string& relative, std::string& name,
                                                   ExtractionFailure& failure) {
  const std::vector<std::string> names = entryPathNames(relative);
  name = names.empty() ? std::string() : names.back();
  return open(names, names.empty() ? 0 : names.size() - 1, /*make=*/true, failure);
}

void ExtractionFolders::noteMade(const std::string& relative) {
  const std::vector<std::string> names = entryPathNames(relative);
  if (names.empty()) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  made_.push_back({keyIndex(joined(names, names.size() - 1)), names.back(), /*isFolder=*/false});
}

void ExtractionFolders::keep() {
  const std::lock_guard<std::mutex> lock(mutex_);
  made_.clear();
  madeAbove_.clear();
}

ExtractionFailure ExtractionFolders::failureAt(const platform::FolderHandle& folder, const std::string& name,
                                               int error) {
  const ExtractionFailure::Kind kind =
      platform::IsLinkMetError(error) ? ExtractionFailure::Kind::kLinkInPlace : ExtractionFailure::Kind::kNotWritten;
  return {kind, folder.PathOf(name), {}, error};
}

// The destination is the caller's to name: made as any path is, links on
// the way followed, when the first entry needs it. Below it, each name is
// opened from the deepest folder held.
platform::FolderHandle ExtractionFolders::open(const std::vector<std::string>& names, std::size_t count, bool make,
                                               ExtractionFailure& failure) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (pinned_.empty()) {
    const std::string root = destination_.empty() ? "." : destination_;
    for (std::string above = root; !above.empty() && platform::EntryTypeOf(above) == platform::EntryType::kMissing;
         above = parentPathOf(above)) {
      madeAbove_.push_back(above);
    }
    // A destination the system refused to make gives that refusal.
    const bool madeRoot = !make || madeAbove_.empty() || makeDirectoryPath(root);
    const int refused = platform::LastSystemError();
    const platform::FolderHandle opened = platform::FolderHandle::Open(root);
    if (!opened.ok()) {
      failure = {ExtractionFailure::Kind::kNotWritten, root, {}, madeRoot ? platform::LastSystemError() : refused};
      return opened;
    }
    pinned_[""] = opened;
  }
  std::size_t depth = count;
  platform::FolderHandle folder;
  for (;; --depth) {
    const std::string key = joined(names, depth);
    const auto pinned = pinned_.find(key);
    if (pinned != pinned_.end()) {
      folder = pinned->second;
      break;
    }
    const auto held = held_.find(key);
    if (held != held_.end()) {
      folder = held->second;
      break;
    }
  }
  for (; depth < count; ++depth) {
    bool made = false;
    platform::FolderHandle child = folder.OwnChild(names[depth], make ? &made : nullptr);
    if (!child.ok()) {
      failure = failureAt(folder, names[depth], platform::LastSystemError());
      return child;
    }
    if (made) made_.push_back({keyIndex(joined(names, depth)), names[depth], /*isFolder=*/true});
    if (held_.size() >= kMostHeld) held_.clear();
    held_[joined(names, depth + 1)] = child;
    folder = std::move(child);
  }
  return folder;
}

std::uint32_t ExtractionFolders::keyIndex(const std::string& key) {
  const auto [at, added] = indices_.emplace(key, static_cast<std::uint32_t>(keys_.size()));
  if (added) keys_.push_back(key);
  return at->second;
}

// Newest first, so each folder is empty by the time its turn comes; one
// that is not (something else wrote into it) stays.
void ExtractionFolders::removeMade() {
  for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
    const std::vector<std::string> names = pathSegments(keys_[made->folder]);
    ExtractionFailure ignored;
    const platform::FolderHandle folder = open(names, names.size(), /*make=*/false, ignored);
    if (made->isFolder) {
      // Windows removes a folder only once no handle holds it open.
      const std::string key = names.empty() ? made->name : keys_[made->folder] + "/" + made->name;
      const std::lock_guard<std::mutex> lock(mutex_);
      held_.erase(key);
      pinned_.erase(key);
    }
    if (folder.ok()) folder.Remove(made->name, made->isFolder);
  }
  for (const std::string& above : madeAbove_) platform::RemoveEmptyDirectory(above);
}
