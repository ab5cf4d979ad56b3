// The runtime errors the zip reader raises: fixed texts that callers match.
#include "zip/zip_errors.h"

const char kLoadZipFileError[] = "Error loading zip file!";
const char kLoadZipMemoryError[] = "Error loading zip in memory!";
const char kEntryInfoError[] = "Error, couln't get the current entry info";

namespace {

std::runtime_error EntryError(int code, const char* middle, const std::string& entryName) {
  return std::runtime_error("Error " + std::to_string(code) + middle + entryName + "' in zip");
}

}  // namespace

std::runtime_error OpenEntryError(int code, const std::string& entryName) {
  return EntryError(code, " opening internal file '", entryName);
}

std::runtime_error CloseWrittenEntryError(int code, const std::string& entryName) {
  return EntryError(code, " openinginternal file '", entryName);
}
