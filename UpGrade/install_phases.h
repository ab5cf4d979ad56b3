// The driver's phases around the install engine: locking the installation,
// recovering a cut-off install, checking before the stop, installing. Each
// logs its outcome under the driver's name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/install_lock.h"
#include "zip/archive_entry.h"

/// Logs that a link stands at `path`, where the updater makes a file or
/// folder of its own: nothing followed it, and the run ends.
void LogOwnNameLink(const std::string& path);

/// Logs each path the run waited for since the last call, as another
/// program held it: nothing when none was held.
void LogHeldWaits();

/// Takes the installation's lock, waiting up to ten minutes for another run
/// when `archivePresent` (logged before the wait), one try otherwise. When
/// another run still holds it after the wait and the archive is present,
/// logs so. A link at the lock file's name is logged as one; a hold the
/// system refuses otherwise (a folder at the lock file's name, an
/// installation the run may not write) is logged with the system's code.
/// Either way the run must end with 4 before it touches anything.
std::unique_ptr<platform::InstallLock> LockInstallation(const std::string& dstPath, bool archivePresent);

/// Rolls back (or finishes) an install that an earlier run left unfinished
/// in `workDir`, and logs what it did. False when it could not be rolled
/// back: the run must end with 4 before it touches anything.
bool RecoverUnfinishedInstall(const std::string& dstPath, const std::string& workDir);

/// True when the extracted archive can be installed, as far as can be known
/// before the application is stopped: `entries` hold something below
/// "update/", no installed folder holding files becomes a file, no entry
/// lies deeper than `openFilesAllowed` lets the install go, and `dstPath`
/// and each folder the archive lands in through a link accept a new file.
/// Logs why not.
bool ReadyToInstall(const std::vector<ArchiveEntry>& entries, const std::string& dstPath, int openFilesAllowed);

/// Logs each entry of `entries` that carries the updater's own file, which
/// is never installed: a vendor who ships a new updater that way learns that
/// it did not arrive.
void LogUpdaterOwnFiles(const std::vector<ArchiveEntry>& entries);

/// Installs `updateDir` into `dstPath` all or nothing, placing of its links
/// only those of `madeLinks` (the extraction's, by output name); after a
/// failure logs why (what could not move aside, each failed copy, each link
/// not placed) and what was restored. True when the new version is in place.
bool InstallUpdate(const std::string& updateDir, const std::string& dstPath, const std::string& workDir,
                   const std::vector<std::string>& madeLinks);
