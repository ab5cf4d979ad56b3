// Independent steps of the install spread over a few threads.
#pragma once

#include <cstddef>
#include <functional>

/// Runs `step(i)` once for each i below `count`. From 16 steps on, they are
/// spread over two threads per core (four at most), the caller's among them,
/// each thread taking the next step not yet taken: steps start in order but
/// may end in any. A step is mostly a wait on the file system (under Wine,
/// on round trips to its server), which the threads overlap. With `stopAtFailure` no step starts once one returned
/// false. True when every step ran and returned true; the first exception a
/// step threw is thrown again once every thread is done.
bool SpreadSteps(std::size_t count, bool stopAtFailure, const std::function<bool(std::size_t)>& step);
