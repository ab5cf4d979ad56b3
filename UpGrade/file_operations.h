// The driver's file operations: the archive test, clearing the work
// directory and installing the extracted tree. Moving one directory: directory_move.h.
#pragma once

#include <string>
#include <vector>

struct FailedCopy;

/// True when `filePath` names an existing file; false for a directory or a missing path.
/// It asks dlib's file lookup without opening the file, so an archive that is
/// there but locked or unreadable counts as present and fails as an extraction.
bool FileExists(const std::string& filePath);

/// Deletes every file in the tree below `dirPath` except `keptFile` (the
/// archive being installed, however its path is spelled), removes every link
/// in it as a link without following it, and keeps every directory,
/// `dirPath` included; a `dirPath` that is itself a link is replaced by an
/// empty directory. Files that cannot be deleted (read-only, in use) stay and
/// are not reported. False only when `dirPath` is not a directory or a link,
/// or cannot be listed.
bool ClearDirectory(const std::string& dirPath, const std::string& keptFile = {});

/// What clearing the work directory did.
struct WorkClear {
  bool listed = false;      ///< the work directory was there, a directory, and could be listed
  bool updateMade = false;  ///< the update folder was made afresh, by this run
  int error = 0;            ///< the system's code when it was not
  bool linked = false;      ///< a link stands at its name that could not be removed as a link
};

/// Clears the work directory `workDir` for a new extraction: everything in
/// it goes, folders included, except `keptFile` (as ClearDirectory) and a
/// journal and a backup area, which stay, whatever happened before, for
/// recovery alone to remove. Nothing is reached through a link; a link is
/// removed as a link, and a `workDir` that is itself one is replaced by an
/// empty directory. Then the update folder is made by this run: what stood
/// there and could not be removed is moved aside first.
WorkClear ClearWorkDirectory(const std::string& workDir, const std::string& keptFile);

/// Installs the tree `sourceDir` into the existing directory `targetDir`: each
/// top-level subdirectory is moved in (merged where it exists), then each
/// top-level file is copied over its namesake, except the updater's own
/// (IsUpdaterOwnFile): PlaceTree, then each failed copy logged at line 149 of
/// the driver's log name with the system's error code. True when every move
/// and copy succeeded; false, with no message, when `sourceDir` cannot be listed.
bool CopyTree(const std::string& sourceDir, const std::string& targetDir);

/// Logs each of `failedCopies` at line 149, in order, as CopyTree does.
void LogFailedCopies(const std::vector<FailedCopy>& failedCopies);
