// Small helpers shared by the zip tests: an archive's bytes, a runtime
// error's text, a file's stamp as local time, what a directory holds.
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/zip/archive_builder.h"
#include "zip/zip_reader.h"

namespace zip_testing {

/// The bytes of an archive of `entries` (made through a scratch file).
std::string ArchiveBytes(const std::vector<EntryRecipe>& entries);

/// Writes an archive of `entries` at `path` and opens a reader over it,
/// without a password.
std::unique_ptr<ZipReader> OpenArchive(const std::string& path, const std::vector<EntryRecipe>& entries);

/// The message of the std::runtime_error that `action` throws, or "no error".
std::string ErrorOf(const std::function<void()>& action);

/// The last-write time of `path` as local broken-down time (zeros when missing).
std::tm LocalWriteTime(const std::string& path);

/// The relative paths of everything below `directory`, sorted, "/"-separated.
std::vector<std::string> TreeOf(const std::string& directory);

}  // namespace zip_testing
