// Test support: a folder unlike those the updater makes.
#pragma once

#include <filesystem>

namespace testing_support {

/// Gives the folder `dir` a trait the updater's own folders lack: the mode
/// 0700 on Linux, the hidden attribute on Windows.
void SetUncommonTrait(const std::filesystem::path& dir);

}  // namespace testing_support
