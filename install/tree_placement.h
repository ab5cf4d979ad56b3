// Placing a tree into the installation's folders as the plan met them.
#pragma once

#include <string>
#include <vector>

#include "install/install.h"
#include "install/install_folders.h"

/// PlaceTree into `folders`' installation: each folder merged into is
/// opened as `folders` allows, so nothing is placed through a folder swapped
/// since the plan (folders.swappedSincePlan() names it then). With
/// `ownLinks` (the links the extraction made, by their path in the tree), a
/// link met that is not one of them is not placed: it joins refusedLinks.
Placement PlaceTreeInto(const std::string& sourceDir, const InstallFolders& folders,
                        const std::vector<std::string>* ownLinks);
