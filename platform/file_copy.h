// Copying one file over another without ever leaving a torn target.
#pragma once

#include <string>

namespace platform {

/// How the names begin under which a copy is staged beside its target (or
/// its source) before it is renamed over the target: the copy's own, never
/// the user's, so that what a cut-off run left under them may be removed.
constexpr const char kCopyPrefix[] = ".update-copy-";

/// Copies `source` to `target`, replacing an existing file. On Linux a
/// symbolic link is copied as a link that leads where it leads. False on
/// failure, with LastSystemError() telling why; the target is then as it was.
bool CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace platform
