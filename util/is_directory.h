// Whether a path names an existing directory.
#pragma once

#include <string>

/// True when `dirPath` names an existing directory; false for a file or a missing path.
bool IsDirectory(const std::string& dirPath);
