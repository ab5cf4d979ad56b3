// Placing a tree into the installation's folders as the plan met them.
#pragma once

#include <string>

#include "install/install.h"
#include "install/install_folders.h"

/// PlaceTree into `folders`' installation: each folder merged into is
/// opened as `folders` allows, so nothing is placed through a folder swapped
/// since the plan (folders.swappedSincePlan() names it then).
Placement PlaceTreeInto(const std::string& sourceDir, const InstallFolders& folders);
