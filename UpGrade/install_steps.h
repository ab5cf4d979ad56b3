// The driver's steps around the all-or-nothing install: taking the
// installation, checking before the stop, installing and reporting. Each
// logs its own outcome under the driver's name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/install_lock.h"
#include "zip/archive_entry.h"

/// Takes the installation's lock into `lock` (waiting up to ten minutes for
/// another run when `archivePresent`, one try otherwise) and, once held,
/// rolls back an install that an earlier run left unfinished. False when the
/// run must end with 4 before it touches anything: the wait timed out, or
/// the earlier install could not be rolled back. A run without its archive
/// that finds the lock held goes on without recovery.
bool TakeInstallation(const std::string& dstPath, const std::string& workDir, bool archivePresent,
                      std::unique_ptr<platform::InstallLock>& lock);

/// True when the extracted archive can be installed, as far as can be known
/// before the application is stopped: `entries` hold something below
/// "update/" and `dstPath` accepts a new file. Logs why not.
bool ReadyToInstall(const std::vector<ArchiveEntry>& entries, const std::string& dstPath);

/// Installs `updateDir` into `dstPath` all or nothing; after a failure logs
/// what was restored. True when the new version is in place.
bool InstallUpdate(const std::string& updateDir, const std::string& dstPath, const std::string& workDir);
