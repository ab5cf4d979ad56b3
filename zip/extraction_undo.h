// What an extraction created, so that a failed one can take it away again.
#pragma once

#include <string>
#include <vector>

/// Notes the files and directories an extraction is about to create and,
/// unless kept, removes them when it goes: a failed extraction, ended by a
/// false result or an exception, leaves its destination as it found it.
class ExtractionUndo {
 public:
  ExtractionUndo() = default;
  ~ExtractionUndo();
  ExtractionUndo(const ExtractionUndo&) = delete;
  ExtractionUndo& operator=(const ExtractionUndo&) = delete;

  /// Called before `path` is written (a directory when `isDirectory`): notes
  /// it and each missing directory above it, those that exist are left alone.
  /// What goes into the directory noted last is new without asking the disk.
  void noteBeforeWriting(const std::string& path, bool isDirectory);

  /// The extraction succeeded: nothing is removed.
  void keep() {
    created_.clear();
    paths_.clear();
    newestDirectory_.clear();
  }

 private:
  // One record per path is kept for the whole extraction; the paths share
  // one text instead of a string each, for archives of many thousand entries.
  struct Created {
    std::size_t pathEnd;  // in paths_, where the next path starts
    bool isDirectory;
  };
  std::string pathAt(std::size_t i) const;
  void note(const std::string& path, bool isDirectory);

  /// In the order of creation: parents before what they hold.
  std::vector<Created> created_;
  std::string paths_;
  /// The directory this extraction created last, without a trailing
  /// separator: archives list a folder's entries together, and asking the
  /// disk about each one costs Wine a read of the whole folder.
  std::string newestDirectory_;
};
