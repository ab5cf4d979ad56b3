// Windows backend of platform/log_append.h: a named mutex derived from the
// file's path around the C library's open (by the wide path), write and close. Measured under
// Wine with 12 processes of 200 lines each, a handle opened for
// FILE_APPEND_DATA alone still lost and tore lines; the mutex kept all whole.
#include "platform/log_append.h"

#include <cstdio>
#include <string>

#include <windows.h>

#include "platform/file_stream.h"
#include "platform/win32/kernel_object_name.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

// A writer that hangs while holding the mutex must not silence every other
// process for good: after this long the line is written without it.
constexpr DWORD kLineWaitMs = 10000;

}  // namespace

const std::size_t platform::kLongestLogPath = 32768;
const int platform::kLogPathTooLong = ERROR_FILENAME_EXCED_RANGE;

struct platform::LogAppend::Impl {
  explicit Impl(const char* path)
      : mutex(CreateMutexW(/*lpMutexAttributes=*/nullptr, /*bInitialOwner=*/FALSE,
                           KernelObjectName("update-log", path).c_str())),
        held(mutex.ok() && TakeMutex(mutex.get(), kLineWaitMs)),
        // Text mode: each "\n" reaches the file as CR LF.
        file(_wfopen(WidePath(path).c_str(), L"at")),
        // The C library's open keeps the code of the system call that failed.
        error(file ? 0 : static_cast<int>(GetLastError())) {}
  ~Impl() {
    file.reset();
    if (held) ReleaseMutex(mutex.get());
  }
  UniqueHandle mutex;
  bool held;
  UniqueFile file;
  int error;
};

platform::LogAppend::LogAppend(const char* path) : impl_(std::make_unique<Impl>(path)) {}
platform::LogAppend::~LogAppend() = default;

bool platform::LogAppend::ok() const { return impl_->file != nullptr; }

bool platform::LogAppend::Write(const char* line) {
  // Flushed here, so that a full volume is known while the line is at hand.
  if (std::fprintf(impl_->file.get(), "%s", line) >= 0 && std::fflush(impl_->file.get()) == 0) return true;
  impl_->error = static_cast<int>(GetLastError());
  return false;
}

int platform::LogAppend::error() const { return impl_->error; }
