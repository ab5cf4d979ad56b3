// How many files the process may hold open at once: the install holds a
// folder open for each level of a tree it goes down.
#pragma once

#include <cstdint>

namespace platform {

/// Raises the number of files this process may hold open to the most the
/// system lets it (on Linux the soft limit to the hard one) while this object
/// lives, and puts the limit back after, so that the programs the updater
/// starts later get the limit it was given. Nothing changes where the limit
/// cannot be read or raised; allowed() tells what holds then.
class OpenFilesRaised {
 public:
  OpenFilesRaised();
  ~OpenFilesRaised();
  OpenFilesRaised(const OpenFilesRaised&) = delete;
  OpenFilesRaised& operator=(const OpenFilesRaised&) = delete;

  /// How many files the process may hold open now; on Windows, where no
  /// such count binds before memory does, the largest int.
  int allowed() const;

 private:
  std::uint64_t saved_ = 0;  // the soft limit before the raise
  bool raised_ = false;
};

}  // namespace platform
