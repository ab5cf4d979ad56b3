// The runtime errors the zip reader raises: fixed texts that callers match.
#include "zip/zip_errors.h"

const char kLoadZipFileError[] = "Error loading zip file!";
const char kLoadZipMemoryError[] = "Error loading zip in memory!";
const char kEntryInfoError[] = "Error, couln't get the current entry info";

namespace {

std::runtime_error entryError(int code, const char* middle, const std::string& entryName) {
  return std::runtime_error("Error " + std::to_string(code) + middle + entryName + "' in zip");
}

}  // namespace

std::runtime_error openEntryError(int code, const std::string& entryName) {
  return entryError(code, " opening internal file '", entryName);
}

std::runtime_error closeWrittenEntryError(int code, const std::string& entryName) {
  return entryError(code, " openinginternal file '", entryName);
}
