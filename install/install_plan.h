// What an install will do to the installation: the targets it replaces and
// the paths it brings new, found by walking the new tree against the old.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "install/install_folders.h"

/// Paths relative to the installation directory, joined with the system's separator.
struct InstallPlan {
  /// Old entries that the new tree replaces: files where the new tree brings
  /// a file, and entries of the other kind (a file where it brings a folder,
  /// a folder where it brings a file). Each is moved aside before placing.
  std::vector<std::string> replaced;
  /// Paths the new tree brings where nothing stands yet, topmost only: a new
  /// folder stands for everything in it.
  std::vector<std::string> added;
  /// Old folders whose every entry the new tree replaces under the same name,
  /// and whose new namesake has the same traits (mode, owner, access list):
  /// each can move aside whole and its namesake take its place in one rename,
  /// where the system lets it; nothing below one is planned on its own.
  std::vector<std::string> movedWhole;
  /// Every entry below the folders placed whole (the added ones, those moved whole,
  /// and those that replace a file), each folder before what it holds: what
  /// an undo may take back out of them. Anything else found there later is
  /// not the install's.
  std::vector<std::string> placed;
  /// The installation itself and each installed folder the new tree is
  /// merged into, as they are now: what the install may write into.
  PlannedFolders folders;
};

/// Thrown when a folder of the new tree cannot be listed.
struct UnlistedFolder : std::runtime_error {
  UnlistedFolder(const std::string& folder, int code)
      : std::runtime_error("cannot list " + folder), path(folder), error(code) {}
  std::string path;
  int error;  ///< the system's code
};

/// Walks `sourceDir` as the install places it into `targetDir`: folders
/// merged (descended where a folder of that name exists), top-level files
/// except the updater's own. Nothing of the folder `workDir` moves whole. Throws
/// UnlistedFolder when a folder of the new tree cannot be listed.
InstallPlan PlanInstall(const std::string& sourceDir, const std::string& targetDir, const std::string& workDir);

/// Plans the folder `relative`, planned to move whole, entry by entry instead,
/// nothing below it moved whole: for one the system would not move aside
/// whole. Lists nothing as placed: the first plan listed all below it. Throws
/// as above.
InstallPlan PlanMerge(const std::string& sourceDir, const std::string& targetDir, const std::string& relative);
