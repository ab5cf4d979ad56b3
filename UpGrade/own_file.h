// The updater's own file among the files an update installs.
#pragma once

#include <string>

/// True when the top-level file named `fileName` (a name, not a path) is the
/// updater's own: "update.exe" or the running updater's file name, compared
/// as the system compares names. The running updater is never replaced or
/// moved aside.
bool IsUpdaterOwnFile(const std::string& fileName);
