// Whether two paths name the same file, however each is spelled.
#pragma once

#include <string>

namespace platform {

/// True when `left` and `right` both exist and name one file (the same volume
/// and file number), links followed; false when either cannot be looked at.
bool IsSameFile(const std::string& left, const std::string& right);

}  // namespace platform
