// Whether anything at all stands at a path.
#pragma once

#include <string>

namespace platform {

/// True when `path` names a file, a directory or a link (a dangling one
/// included; the link is not followed).
bool PathExists(const std::string& path);

}  // namespace platform
