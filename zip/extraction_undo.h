// What an extraction created, so that a failed one can take it away again.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

/// Notes the files and directories an extraction is about to create and,
/// unless kept, removes them when it goes: a failed extraction, ended by a
/// false result or an exception, leaves its destination as it found it.
/// Writers on several threads may note into one undo, each with a cursor of
/// its own.
class ExtractionUndo {
 public:
  /// One writer's place: the directory it created last, without a trailing
  /// separator. Archives list a folder's entries together, and asking the
  /// disk about each one costs Wine a read of the whole folder.
  struct Cursor {
    std::string newestDirectory;
  };

  /// An `emptyDestination` held nothing but folders (or was missing) when
  /// the extraction began: every file written below it is new, and only the
  /// folders need asking about.
  explicit ExtractionUndo(bool emptyDestination = false) : emptyDestination_(emptyDestination) {}
  ~ExtractionUndo();
  ExtractionUndo(const ExtractionUndo&) = delete;
  ExtractionUndo& operator=(const ExtractionUndo&) = delete;

  /// Called before `path` is written (a directory when `isDirectory`): notes
  /// it and each missing directory above it, those that exist are left alone.
  /// What goes into the directory `cursor` noted last (below an empty
  /// destination: the folder it last asked about) is new without asking the
  /// disk.
  void noteBeforeWriting(const std::string& path, bool isDirectory, Cursor& cursor);
  /// As above, for the one writer of a single-threaded extraction.
  void noteBeforeWriting(const std::string& path, bool isDirectory) { noteBeforeWriting(path, isDirectory, cursor_); }

  /// The extraction succeeded: nothing is removed.
  void keep() {
    created_.clear();
    blocks_.clear();
    cursor_ = {};
  }

 private:
  // One record per path is kept for the whole extraction; the paths share
  // blocks of text instead of a string each, for archives of many thousand
  // entries. Neither records nor blocks ever move: a text grown by copying
  // would hold its old and new copies at once, and writer threads would
  // leave the old ones in their own heaps.
  struct Created {
    std::uint32_t block;  // in blocks_
    std::uint32_t start;
    std::uint32_t length;
    bool isDirectory;
  };
  std::string pathAt(const Created& created) const;
  void note(const std::string& path, bool isDirectory, Cursor& cursor);

  /// In the order of noting, which comes before creating: a directory is
  /// noted before anything in it, whichever writer made it.
  std::deque<Created> created_;
  std::vector<std::string> blocks_;
  std::mutex mutex_;  // over created_ and blocks_
  Cursor cursor_;
  bool emptyDestination_;
};
