// One directory's entries, each with what it itself is, from one walk of the
// directory: an install meets every file of an update several times, and a
// status query per entry per walk is what its time went to.
#pragma once

#include <string>
#include <vector>

#include "platform/entry_type.h"

namespace platform {

struct DirectoryEntry {
  std::string name;  ///< without the directory
  EntryType type;    ///< a link is kLink whatever it leads to; never kMissing
};

/// The entries directly in `directory`, "." and ".." left out, in the order
/// the system gives them. False, with LastSystemError() telling why, when the
/// directory cannot be read.
bool ListDirectory(const std::string& directory, std::vector<DirectoryEntry>& entries);

}  // namespace platform
