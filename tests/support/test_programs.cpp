// Test support: helper programs built beside the tests, started under names of our own.
#include "tests/support/test_programs.h"

#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>

#include "platform/file_system.h"
#include "platform/process.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace testing_support {

std::string HelperProgram(const std::string& name) {
  const fs::path self = platform::ExecutablePath().value;
  return (self.parent_path() / (name + self.extension().string())).string();
}

std::string UniqueProgramName(const std::string& stem) {
  static std::atomic<unsigned> count{0};
  return stem + std::to_string(platform::CurrentProcessId()) + "_" + std::to_string(count++) + ".exe";
}

bool WaitForFile(const fs::path& file) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (ReadFileBytes(file).empty()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::unique_ptr<ChildProcess> StartHelperAs(const std::string& helper, const fs::path& dir, const std::string& name,
                                            const std::vector<std::string>& arguments) {
  const fs::path program = dir / name;
  std::error_code error;
  if (!fs::copy_file(HelperProgram(helper), program, fs::copy_options::overwrite_existing, error)) {
    return nullptr;
  }
  auto child = std::make_unique<ChildProcess>(program.u8string(), arguments);
  fs::path record = program;
  record += ".run";
  if (!child->started() || !WaitForFile(record)) return nullptr;
  return child;
}

std::unique_ptr<ChildProcess> StartFakeAppAs(const fs::path& dir, const std::string& name) {
  return StartHelperAs("fake_app_v1", dir, name);
}

}  // namespace testing_support
