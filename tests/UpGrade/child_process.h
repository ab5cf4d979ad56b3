// Test support: a program started as a real child process, never outliving its test.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class ChildProcess {
 public:
  /// Starts `program` with `arguments`; started() tells whether it could.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  /// Kills the process if it still runs and waits for it, so that no zombie
  /// is left to be found by a process walk.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const;
  std::uint32_t id() const;

  /// Waits for the process to end and reaps it; true when it ended. The wait
  /// gives up after a minute, only so that a fault cannot hang the test run.
  bool WaitForExit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace testing_support
