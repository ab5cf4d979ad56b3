// The token of this run's staged copies and their names, the same on both systems.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>

#include "platform/file_copy.h"

// Random bits and the clock: two runs, even of one process id, never share one.
const std::string& platform::CopyToken() {
  static const std::string token = [] {
    std::random_device random;
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    char text[32];
    std::snprintf(text, sizeof text, "%08x%08x", static_cast<unsigned>(random()),
                  static_cast<unsigned>(now) ^ static_cast<unsigned>(random()));
    return std::string(text);
  }();
  return token;
}

std::string platform::StagedCopyName() {
  // Copies are staged by several threads at once.
  static std::atomic<unsigned> copies{0};
  return CopyPrefixOf(CopyToken()) + std::to_string(copies++);
}
