// Tasks spread over threads: each runs once, a failure or an exception is
// reported, and with stopAtFailure tasks in turn stop at the first failure.
#include "install/parallel_tasks.h"

#include <atomic>
#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct TasksRun {
  bool result = false;
  bool threw = false;
  std::vector<int> timesRun;
};

// Runs `count` steps; step `failing` (if below count) fails, or throws.
TasksRun RunCounted(std::size_t count, bool stopAtFailure, std::size_t failing, bool throws = false) {
  const auto runs = std::make_unique<std::atomic<int>[]>(count);
  TasksRun run;
  try {
    run.result = RunInParallel(count, stopAtFailure, [&](std::size_t i) {
      ++runs[i];
      if (i == failing && throws) throw std::runtime_error("step failed");
      return i != failing;
    });
  } catch (const std::runtime_error&) {
    run.threw = true;
  }
  for (std::size_t i = 0; i < count; ++i) run.timesRun.push_back(runs[i]);
  return run;
}

TEST(RunInParallel, EveryStepRunsOnceWhateverTheCount) {
  for (const std::size_t count : {0, 1, 15, 16, 17, 1000}) {
    const TasksRun run = RunCounted(count, /*stopAtFailure=*/true, /*failing=*/count);
    EXPECT_TRUE(run.result) << count;
    EXPECT_EQ(run.timesRun, std::vector<int>(count, 1)) << count;
  }
}

TEST(RunInParallel, AFailureOrAnExceptionIsReported) {
  struct Case {
    std::size_t count;
    bool stopAtFailure;
    bool throws;
  };
  for (const Case& test : {Case{10, true, false}, Case{10, false, false}, Case{1000, true, false},
                           Case{1000, false, false}, Case{10, false, true}, Case{1000, false, true}}) {
    const TasksRun run = RunCounted(test.count, test.stopAtFailure, /*failing=*/5, test.throws);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.threw, test.throws);
    for (std::size_t i = 0; i < test.count; ++i) {
      const int times = run.timesRun[i];
      if (!test.stopAtFailure || i == 5) {
        EXPECT_EQ(times, 1) << test.count << " step " << i;
      } else if (test.count < 16) {
        EXPECT_EQ(times, i < 5 ? 1 : 0) << "in turn, step " << i;
      } else {
        EXPECT_LE(times, 1) << "spread, step " << i;  // other threads may or may not have started it
      }
    }
  }
}

}  // namespace
