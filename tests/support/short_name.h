// Test support: the 8.3 short name the file system gave an entry.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

/// The last name of `path`'s short (8.3) form, as the file system made it;
/// empty where there is none (Linux, a volume that keeps no short names).
std::string ShortNameOf(const std::filesystem::path& path);

}  // namespace testing_support
