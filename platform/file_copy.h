// Copying one file over another without ever leaving a torn target.
#pragma once

#include <string>

namespace platform {

/// Copies `source` to `target`, replacing an existing file. On Linux a
/// symbolic link is copied as a link that leads where it leads. False on
/// failure, with LastSystemError() telling why; the target is then as it was.
bool CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace platform
