// What can be known about an update before anything is stopped: the archive
// brings files to install, it leaves the install's own files alone, and the
// installation accepts new files.
#pragma once

#include <string>
#include <vector>

#include "zip/archive_entry.h"

/// True when some entry lies below the archive's top-level folder "update"
/// (a name compared as the system compares names), so that installing it
/// gives the installation something new.
bool HoldsUpdateEntries(const std::vector<ArchiveEntry>& entries);

/// True when some entry would land on the install's journal or backup area
/// in the work directory, or be moved onto them by the install: an archive
/// must never be able to write recovery instructions.
bool TakesReservedName(const std::vector<ArchiveEntry>& entries);

/// The probe file that AcceptsNewFile creates in `dstPath`; a run killed
/// while it existed leaves it for the next run to remove.
std::string ProbePath(const std::string& dstPath);

/// Creates and removes the probe file in `dstPath`. False, with
/// LastSystemError() telling why, when no file can be created there (no
/// right to write the installation).
bool AcceptsNewFile(const std::string& dstPath);
