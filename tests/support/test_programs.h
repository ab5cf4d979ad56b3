// Test support: helper programs built beside the tests, started under names of our own.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace testing_support {

/// Path of the helper program `name` (such as "fake_app_v1") beside this test program.
std::string HelperProgram(const std::string& name);

/// An executable file name that no other test run uses, so that stopping
/// processes by this name touches only our own: "<stem><pid>_<count>.exe".
std::string UniqueProgramName(const std::string& stem);

/// Waits until `file` exists and holds something; false after a minute, a
/// guard against hanging rather than a measurement.
bool WaitForFile(const std::filesystem::path& file);

/// Copies the helper program `helper` into `dir` as `name`, starts it with
/// `arguments` and waits until it has recorded its start in "<dir>/<name>.run",
/// so that a process walk lists it by `name`. Null when it could not be started.
std::unique_ptr<ChildProcess> StartHelperAs(const std::string& helper, const std::filesystem::path& dir,
                                            const std::string& name, const std::vector<std::string>& arguments = {});

/// StartHelperAs for the stand-in application, version 1.
std::unique_ptr<ChildProcess> StartFakeAppAs(const std::filesystem::path& dir, const std::string& name);

}  // namespace testing_support
