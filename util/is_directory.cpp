// Whether a path names an existing directory.
#include "util/is_directory.h"

#include "platform/file_system.h"

bool IsDirectory(const std::string& dirPath) { return platform::IsExistingDirectory(dirPath); }
