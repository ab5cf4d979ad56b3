// C library FILE streams: the mode the log appends text with, and an owner
// that closes a stream.
#pragma once

#include <cstdio>
#include <memory>

namespace platform {

/// The C library mode that appends text lines to a log file ("at" on Windows, "a" on Linux).
extern const char kAppendTextMode[];

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

/// Closes its stream when it goes; null means none.
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace platform
