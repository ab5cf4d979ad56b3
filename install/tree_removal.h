// Whether anything stands at a path of the installation, and removing it,
// a whole folder included.
#pragma once

#include <string>

/// True when `path` names anything: a file, a folder or a link (a dangling
/// one included; links are not followed).
bool StandsAt(const std::string& path);

/// Removes whatever stands at `path`: a file, a link (never followed), or a
/// folder with everything in it. True when nothing stands there afterwards;
/// what could not be removed stays.
bool RemoveTree(const std::string& path);

namespace platform {
class FolderHandle;
}

/// RemoveTree for the entry `name` of the folder `parent`, whose folders
/// are opened relative to it and never through a link.
bool RemoveTreeIn(const platform::FolderHandle& parent, const std::string& name);
