// The permission bits of installed files that an update archive, made
// without Unix modes, replaces.
#pragma once

#include <string>

class ZipReader;

/// For each file entry below "update/" of `reader` that recorded no Unix mode
/// (made on Windows, say), gives its extracted file in `workDir` the
/// permission bits of the installed file in `dstPath` that it will replace,
/// where there is one. Entries that replace nothing keep what extraction gave
/// them. Nothing changes where files have no permission bits, and a listing
/// that fails leaves every file as extracted.
void KeepInstalledModes(ZipReader& reader, const std::string& workDir, const std::string& dstPath);
