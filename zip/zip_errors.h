// The runtime errors the zip reader raises: fixed texts that callers match.
#pragma once

#include <stdexcept>
#include <string>

extern const char kLoadZipFileError[];    ///< "Error loading zip file!"
extern const char kLoadZipMemoryError[];  ///< "Error loading zip in memory!"
extern const char kEntryInfoError[];      ///< "Error, couln't get the current entry info"

/// "Error <code> opening internal file '<name>' in zip": an entry could not be
/// opened, or closing it after a copy to a buffer or stream reported `code`.
std::runtime_error openEntryError(int code, const std::string& entryName);

/// "Error <code> openinginternal file '<name>' in zip" (no blank after
/// "opening"): closing an entry after writing it to a file reported `code`.
std::runtime_error closeWrittenEntryError(int code, const std::string& entryName);
