// Appending whole lines to a log file that other processes append to as well.
#pragma once

#include <cstddef>
#include <memory>

namespace platform {

/// The longest path, terminator included, that the log forms for its folder
/// and its day's file; a longer one loses the line. The longest path each
/// system's calls take: PATH_MAX bytes on Linux, 32,768 characters on Windows.
extern const std::size_t kLongestLogPath;

/// The system's code for a path longer than it takes, reported for a log
/// path longer than kLongestLogPath.
extern const int kLogPathTooLong;

/// One log file opened for appending (created when missing) for as long as
/// this object lives; while it lives no other process's line can be put in
/// the middle of, or over, the lines written through it.
class LogAppend {
 public:
  explicit LogAppend(const char* path);
  /// Closes the file, then lets the next process in.
  ~LogAppend();
  LogAppend(const LogAppend&) = delete;
  LogAppend& operator=(const LogAppend&) = delete;

  /// False when the file could not be opened: nothing can be written.
  bool ok() const;

  /// Appends `line` (text, "\n" becoming the system's line end); false when
  /// the system did not take all of it.
  bool Write(const char* line);

  /// The system's code for the open or the write that failed; 0 while none has.
  int error() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
