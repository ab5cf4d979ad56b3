// What an install will do to the installation: the targets it replaces and
// the paths it brings new, found by walking the new tree against the old.
#pragma once

#include <string>
#include <vector>

/// Paths relative to the installation directory, joined with the system's separator.
struct InstallPlan {
  /// Old entries that the new tree replaces: files where the new tree brings
  /// a file, and entries of the other kind (a file where it brings a folder,
  /// a folder where it brings a file). Each is moved aside before placing.
  std::vector<std::string> replaced;
  /// Paths the new tree brings where nothing stands yet, topmost only: a new
  /// folder stands for everything in it.
  std::vector<std::string> added;
};

/// Walks `sourceDir` as the install places it into `targetDir`: folders
/// merged (descended where a folder of that name exists), top-level files
/// except the updater's own. Throws when a folder cannot be listed.
InstallPlan PlanInstall(const std::string& sourceDir, const std::string& targetDir);
