// Waiting until what was written is on the disk, not only handed to the
// system: the install's journal is trusted after a power cut only if the
// steps it announces reach the disk after it, and the commit after the new
// files.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace platform {

/// Hands `file`'s buffered bytes to the system and waits until they are on
/// the disk. False, with LastSystemError() telling why, when they are not.
bool FlushFileToDisk(std::FILE* file);

/// Waits until what was written in each of `folders` is on the disk: files'
/// contents and folders' entries. Linux: each volume that holds one of them,
/// whole and once, however many of them it holds; since Linux 5.8 that
/// reports a write error. Windows: each folder's own entries; files are
/// flushed as they are written or copied, and moves are written through.
/// False, with `unflushed` the folder whose volume (Windows: entries) could
/// not be flushed and LastSystemError() telling why, when it is not.
bool FlushFoldersToDisk(const std::vector<std::string>& folders, std::string& unflushed);

}  // namespace platform
