// Waiting until what was written is on the disk, not only handed to the
// system: the install's journal is trusted after a power cut only if the
// steps it announces reach the disk after it, and the commit after the new
// files.
#pragma once

#include <cstdio>
#include <string>

namespace platform {

/// Hands `file`'s buffered bytes to the system and waits until they are on
/// the disk. False, with LastSystemError() telling why, when they are not.
bool FlushFileToDisk(std::FILE* file);

/// Waits until what was written on the volume that holds the folder `folder`
/// is on the disk: files' contents and folders' entries. Linux: the whole
/// volume at once, which reports a write error since Linux 5.8. Windows:
/// the folder's own entries; files are flushed as they are written or
/// copied, and moves are written through. False, with LastSystemError()
/// telling why, when it is not.
bool FlushVolumeToDisk(const std::string& folder);

}  // namespace platform
