// The link entries of one extraction: where each leads, and that no entry is
// written through a link. Made only where the system makes links.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "zip/extraction_failure.h"

/// A link entry, made after every other entry of its extraction.
struct PlannedLink {
  std::size_t index = 0;  ///< of the entry in the archive's directory
  std::string relative;   ///< its output name below the destination
  std::string target;     ///< what the link leads to, as stored
};

class LinkPlan {
 public:
  /// Links of an extraction into `destination` must lead to a place inside
  /// its folder `root` (relative, "/"-separated; empty: the destination).
  /// An `emptyDestination` holds no link to look for on disk.
  LinkPlan(std::string destination, const std::string& root, bool emptyDestination);

  /// Notes that entry `index`, written at `relative` below the destination,
  /// is a link leading to `target`.
  void add(std::size_t index, const std::string& relative, std::string target);

  /// The first link whose target is absolute or, followed segment by segment
  /// from the link's own folder, leaves the root or climbs ("..") once past
  /// another link of the archive; null when every link leads inside.
  const PlannedLink* linkLeadingOutside() const;

  /// Why the entry written at `relative` may not be written: it lies below a
  /// link of the archive, or it or a folder between it and the destination
  /// is already a link on disk; kNone when it may.
  EntryRefusal refusalOfEntryAt(const std::string& relative);

  bool isLink(std::size_t index) const { return indices_.count(index) != 0; }
  const std::vector<PlannedLink>& links() const { return links_; }

 private:
  using Segments = std::vector<std::string>;

  bool leadsInside(const Segments& link, const std::string& target) const;
  bool liesBelowLink(const Segments& relative) const;
  bool meetsLinkOnDisk(const Segments& relative);

  std::string destination_;
  Segments root_;
  bool emptyDestination_;
  std::vector<PlannedLink> links_;
  std::vector<Segments> linkPaths_;  ///< beside links_, same order
  std::set<Segments> linkSet_;
  std::set<std::size_t> indices_;
  std::set<std::string> foldersChecked_;  ///< found to be no link on disk
};
