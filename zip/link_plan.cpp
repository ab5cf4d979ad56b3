// The link entries of one extraction: where each leads, and that no entry is
// written through a link.
#include "zip/link_plan.h"

#include <algorithm>
#include <utility>

#include "platform/entry_type.h"
#include "zip/output_path.h"
#include "zip/zip_paths.h"

namespace {

using Segments = std::vector<std::string>;

// An entry's name with either separator, as extraction writes it.
Segments entrySegments(const std::string& relative) { return pathSegments(tidyPath(relative)); }

bool startsWith(const Segments& path, const Segments& prefix) {
  return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

}  // namespace

LinkPlan::LinkPlan(std::string destination, const std::string& root, bool emptyDestination)
    : destination_(std::move(destination)), root_(entrySegments(root)), emptyDestination_(emptyDestination) {}

void LinkPlan::add(std::size_t index, const std::string& relative, std::string target) {
  Segments path = entrySegments(relative);
  linkSet_.insert(path);
  linkPaths_.push_back(std::move(path));
  links_.push_back({index, relative, std::move(target)});
  indices_.insert(index);
}

const PlannedLink* LinkPlan::linkLeadingOutside() const {
  for (std::size_t i = 0; i < links_.size(); ++i) {
    if (!leadsInside(linkPaths_[i], links_[i].target)) return &links_[i];
  }
  return nullptr;
}

EntryRefusal LinkPlan::refusalOfEntryAt(const std::string& relative) {
  const Segments path = entrySegments(relative);
  if (liesBelowLink(path)) return EntryRefusal::kBelowArchiveLink;
  if (meetsLinkOnDisk(path)) return EntryRefusal::kMeetsLinkOnDisk;
  return EntryRefusal::kNone;
}

// Followed by name, the way the kernel will follow it. Past a link of the
// archive the walk is really wherever that link leads (inside, as its own
// check found), so names below it stay inside too, but ".." from there would
// climb from a place this walk does not see: refused. The root holds at every
// step, not only at the end: once installed, its parent is another folder.
bool LinkPlan::leadsInside(const Segments& link, const std::string& target) const {
  if (link.empty() || target.empty() || target.front() == '/' || target.find('\0') != std::string::npos) {
    return false;
  }
  Segments at(link.begin(), link.end() - 1);
  if (!startsWith(at, root_)) return false;
  bool pastLink = false;
  for (const std::string& segment : pathSegments(target)) {
    pastLink = pastLink || linkSet_.count(at) != 0;
    if (segment != "..") {
      at.push_back(segment);
    } else if (!pastLink && at.size() > root_.size()) {
      at.pop_back();
    } else {
      return false;
    }
  }
  return true;
}

bool LinkPlan::liesBelowLink(const Segments& relative) const {
  if (linkSet_.empty()) return false;
  for (std::size_t depth = 1; depth < relative.size(); ++depth) {
    if (linkSet_.count(Segments(relative.begin(), relative.begin() + depth)) != 0) return true;
  }
  return false;
}

// Each folder is asked once, however many entries lie below it; each
// entry's own path once, as it comes.
bool LinkPlan::meetsLinkOnDisk(const Segments& relative) {
  if (emptyDestination_) return false;
  std::string joined;
  for (std::size_t depth = 0; depth < relative.size(); ++depth) {
    joined += (depth == 0 ? "" : "/") + relative[depth];
    const bool folder = depth + 1 < relative.size();
    if (folder && foldersChecked_.count(joined) != 0) continue;
    if (platform::IsLink(outputPathOf(destination_, joined))) return true;
    if (folder) foldersChecked_.insert(joined);
  }
  return false;
}
