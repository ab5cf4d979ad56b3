// Small helpers shared by the zip tests: catching a runtime error's text,
// a file's stamp as local time, what a directory holds.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace zip_testing {

/// The message of the std::runtime_error that `action` throws, or "no error".
std::string ErrorOf(const std::function<void()>& action);

/// The last-write time of `path` as local broken-down time (zeros when missing).
std::tm LocalWriteTime(const std::string& path);

/// The relative paths of everything below `directory`, sorted, "/"-separated.
std::vector<std::string> TreeOf(const std::string& directory);

}  // namespace zip_testing
