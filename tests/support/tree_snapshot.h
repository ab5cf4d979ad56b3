// Test support: a whole directory tree as one comparable value.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace testing_support {

/// Every entry below `root` by its relative path ("/"-separated): its
/// permission bits (mode bits on Linux), then "<dir>" for a folder or a
/// file's bytes.
/// Entries whose first component is in `skipped` are left out.
using TreeSnapshot = std::map<std::string, std::string>;
TreeSnapshot SnapshotTree(const std::filesystem::path& root, const std::string& skipped = "");

/// Writes each entry of `files` (relative path to bytes; a path ending in "/"
/// makes a folder) below `root`.
void WriteTree(const std::filesystem::path& root, const std::map<std::string, std::string>& files);

}  // namespace testing_support
