// Linux tests only: the fault library (tests/helpers/fault_injection.c)
// preloaded into the updater runs a test starts.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/update_run_fixture.h"

namespace update_e2e {

using Settings = std::vector<std::pair<std::string, std::string>>;

// Preloads the fault library into the runs started while it lives, with
// its settings (UPDATE_FAULT_AT, ...), and fails the test when no run
// loaded it.
class FaultPlan {
 public:
  explicit FaultPlan(const Settings& settings) : settings_(settings) {
    settings_.push_back({"LD_PRELOAD", HelperProgram("libfault_injection") + ".so"});
    settings_.push_back({"UPDATE_FAULT_LOADED", loaded_.string()});
    // The sanitizer lane's runtime must come first otherwise.
    settings_.push_back({"ASAN_OPTIONS", "verify_asan_link_order=0"});
    for (const auto& [name, value] : settings_) setenv(name.c_str(), value.c_str(), 1);
  }
  ~FaultPlan() {
    for (const auto& setting : settings_) unsetenv(setting.first.c_str());
    EXPECT_TRUE(fs::exists(loaded_)) << "the fault library was not loaded into the updater";
  }
  FaultPlan(const FaultPlan&) = delete;
  FaultPlan& operator=(const FaultPlan&) = delete;

 private:
  TempDir dir_;
  fs::path loaded_ = dir_.path() / "loaded";
  Settings settings_;
};

}  // namespace update_e2e
