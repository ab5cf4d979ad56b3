// Whether anything stands at a path of the installation, and removing it,
// a whole folder included.
#pragma once

#include <string>

/// True when `path` names anything: a file, a folder or a link (a dangling
/// one included; links are not followed).
bool StandsAt(const std::string& path);

namespace platform {
class FolderHandle;
}

/// Removes whatever stands at the entry `name` of the folder `parent`: a
/// file, a link (never followed), or a folder with everything in it, its
/// folders opened relative to it and never through a link. True when nothing
/// stands there afterwards; what could not be removed stays.
bool RemoveTreeIn(const platform::FolderHandle& parent, const std::string& name);
