// Independent tasks of the install spread over a few threads.
#include "install/parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Below this, a thread costs more than it saves, and the tasks run in order.
constexpr std::size_t kFewestTasksToSpread = 16;
// Tasks wait more than they compute: more threads than cores overlap the waits.
constexpr std::size_t kThreadsPerCore = 2;
constexpr std::size_t kMostThreads = 4;

}  // namespace

bool RunInParallel(std::size_t count, bool stopAtFailure, const std::function<bool(std::size_t)>& task) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex errorMutex;
  std::exception_ptr error;
  const auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      if (stopAtFailure && failed) return;
      bool done = false;
      try {
        done = task(i);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(errorMutex);
        if (!error) error = std::current_exception();
      }
      if (!done) failed = true;
    }
  };
  const std::size_t cores = std::thread::hardware_concurrency();
  const std::size_t threads =
      count < kFewestTasksToSpread ? 1 : std::clamp<std::size_t>(kThreadsPerCore * cores, 1, kMostThreads);
  std::vector<std::thread> helpers;
  for (std::size_t i = 1; i < threads; ++i) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // the threads started so far take every task
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  if (error) std::rethrow_exception(error);
  return !failed;
}
