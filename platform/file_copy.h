// Copying one file over another without ever leaving a torn target.
#pragma once

#include <string>

namespace platform {

/// How the names begin under which a copy is staged beside its target (or
/// its source) before it is renamed over the target: the copy's own, never
/// the user's, so that what a cut-off run left under them may be removed.
constexpr const char kCopyPrefix[] = ".update-copy-";

/// A token of this run's own, drawn once: every copy it stages begins with
/// CopyPrefixOf(CopyToken()), and the install records it, so that an undo
/// removes only copies this run or the journal's run made, never a file an
/// archive or a user named so.
const std::string& CopyToken();
inline std::string CopyPrefixOf(const std::string& token) { return kCopyPrefix + token + "-"; }

/// A name of this run's own for one copy staged beside its target:
/// CopyPrefixOf(CopyToken()) and a number no other copy of the run takes,
/// short whatever the target's name (a name of 250 characters stays one a
/// volume takes).
std::string StagedCopyName();

/// Copies `source` to `target`, replacing an existing file. On Linux a
/// symbolic link is copied as a link that leads where it leads. False on
/// failure, with LastSystemError() telling why; the target is then as it was.
bool CopyFileReplacing(const std::string& source, const std::string& target);

}  // namespace platform
