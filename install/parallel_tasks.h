// Independent tasks of the install spread over a few threads.
#pragma once

#include <cstddef>
#include <functional>

/// Runs `task(i)` once for each i below `count`. From 16 tasks on, they are
/// spread over two threads per core (four at most), the caller's among them,
/// each thread taking the next task not yet taken: tasks start in order but
/// may end in any. A task is mostly a wait on the file system (under Wine,
/// on round trips to its server), which the threads overlap. With
/// `stopAtFailure` no task starts once one returned false. True when every
/// task ran and returned true; the first exception a task threw is thrown
/// again once every thread is done.
bool RunInParallel(std::size_t count, bool stopAtFailure, const std::function<bool(std::size_t)>& task);
