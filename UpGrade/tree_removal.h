// Removing a file or a whole folder of the installation.
#pragma once

#include <string>

/// Removes whatever stands at `path`: a file, a link (never followed), or a
/// folder with everything in it. True when nothing stands there afterwards;
/// what could not be removed stays.
bool RemoveTree(const std::string& path);
