// Moving directories and files within the file system by renaming them.
// Copying file contents: file_copy.h.
#pragma once

#include <string>

namespace platform {

/// What the system's own move of a directory did.
enum class MoveOutcome {
  Moved,        ///< the whole tree now stands in the target directory
  LeftToMerge,  ///< the system did not merge into a directory of that name, or
                ///< could not move the tree in one step: the caller moves what is left
  Failed,       ///< the system refused the move; LastSystemError() tells why
};

/// The system's own move of the directory `fromDir` into the directory
/// `intoDir`, where it keeps its name: the shell's FO_MOVE without any
/// dialog on Windows while the paths are short enough for the shell's plain
/// form (LeftToMerge beyond, for the caller's merge by renames), a rename
/// that never replaces a directory of that name, even an empty one, on Linux.
/// `ownerWindow` is the shell's owner window (HWND), or null.
MoveOutcome SystemMoveDirectoryInto(const std::string& fromDir, const std::string& intoDir, void* ownerWindow);

/// Renames the entry `source` (a file, a folder or a link, never followed) to
/// the free name `target`. False, with LastSystemError() telling why, when it
/// cannot, also across file systems.
bool RenameEntry(const std::string& source, const std::string& target);

/// Moves the file `source` to `target`, replacing a file there; a running
/// program's file can be replaced on Linux. Across volumes the file is
/// copied beside the target under a temporary name, flushed and renamed over
/// it, and the source then deleted. False on failure, with
/// LastSystemError() telling why.
bool MoveFileReplacing(const std::string& source, const std::string& target);

/// Removes the directory `dir` when it is empty; false otherwise.
bool RemoveEmptyDirectory(const std::string& dir);

}  // namespace platform
