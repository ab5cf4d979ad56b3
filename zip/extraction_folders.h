// The folders an extraction writes into, each opened relative to its parent
// and never through a link, for the whole of the writing; and what it made
// in them, taken away again unless the extraction succeeds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/folder_handle.h"
#include "zip/extraction_failure.h"

/// Held by one extraction; writers on several threads share it. A folder is
/// only ever opened from a folder held (the destination first), name by name
/// (platform::FolderHandle::OwnChild), so a link planted at a folder's name
/// while the extraction runs is met, never followed.
class ExtractionFolders {
 public:
  /// Below `destination`, the current directory when empty, made when
  /// missing. An `exclusive` extraction makes every file anew: a file or
  /// link already at an entry's name is not its own, and is refused.
  ExtractionFolders(std::string destination, bool exclusive);
  /// Unless kept, removes what the extraction made, newest first, each from
  /// a folder held or opened again the same way: nothing is removed through
  /// a link, and a folder something else wrote into stays.
  ~ExtractionFolders();
  ExtractionFolders(const ExtractionFolders&) = delete;
  ExtractionFolders& operator=(const ExtractionFolders&) = delete;

  bool exclusive() const { return exclusive_; }

  /// Opens the folder `relative` (an output name) once, made when missing,
  /// and holds it to the end: it must be a folder of the running user's.
  /// False, with `failure` telling why, otherwise.
  bool holdOwnFolder(const std::string& relative, ExtractionFailure& failure);

  /// The folder `relative` (an output name), made with its missing parents;
  /// false, with `failure` telling why, when one cannot be made or a link
  /// stands at one's name.
  bool makeFolder(const std::string& relative, ExtractionFailure& failure);

  /// The folder the output name `relative` goes into, made as makeFolder
  /// makes it, and in `name` its own last name; not ok(), with `failure`
  /// telling why, otherwise.
  platform::FolderHandle parentOf(const std::string& relative, std::string& name, ExtractionFailure& failure);

  /// Notes that the file or link at the output name `relative` was made, for
  /// the undo.
  void noteMade(const std::string& relative);

  /// The extraction succeeded: nothing is removed.
  void keep();

  /// Why writing `name` in `folder` failed with the system's `error`: a link
  /// met there, or the path and code.
  static ExtractionFailure failureAt(const platform::FolderHandle& folder, const std::string& name, int error);

 private:
  // One record per entry made, in the order made: a folder is made before
  // anything in it, whichever writer made it.
  struct Made {
    std::uint32_t folder;  // in keys_
    std::string name;
    bool isFolder;
  };

  platform::FolderHandle open(const std::vector<std::string>& names, std::size_t count, bool make,
                              ExtractionFailure& failure);
  std::uint32_t keyIndex(const std::string& key);
  void removeMade();

  std::string destination_;
  bool exclusive_;
  std::vector<std::string> madeAbove_;  // the destination and its missing parents, made first
  std::mutex mutex_;                    // over everything below
  // Every folder met, by its output name; the held ones are a bounded few,
  // since descriptors are: one dropped is opened again the same way.
  std::vector<std::string> keys_;
  std::unordered_map<std::string, std::uint32_t> indices_;
  std::map<std::string, platform::FolderHandle> held_;
  std::map<std::string, platform::FolderHandle> pinned_;  // the destination and its own folder
  std::vector<Made> made_;
};
