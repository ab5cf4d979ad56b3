// Windows backend of platform/extracted_file.h.
#include "platform/extracted_file.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// WriteFile takes at most a DWORD per call.
constexpr std::size_t kLargestWrite = 1u << 30;

}  // namespace

// The access, sharing and disposition with which the C runtime opens a file
// for "wb": others may read and write it meanwhile, an existing file is
// replaced in place, and a read-only one is refused.
platform::ExtractedFile::ExtractedFile(const std::string& path)
    : handle_(reinterpret_cast<std::intptr_t>(
          CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      /*lpSecurityAttributes=*/nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                      /*hTemplateFile=*/nullptr))) {}

platform::ExtractedFile::~ExtractedFile() { Close(); }

bool platform::ExtractedFile::ok() const { return Handle(handle_) != INVALID_HANDLE_VALUE; }

bool platform::ExtractedFile::Write(const char* bytes, std::size_t count) {
  while (count > 0) {
    const DWORD wanted = static_cast<DWORD>(count < kLargestWrite ? count : kLargestWrite);
    DWORD put = 0;
    if (!WriteFile(Handle(handle_), bytes, wanted, &put, /*lpOverlapped=*/nullptr) || put == 0) {
      return false;
    }
    bytes += put;
    count -= put;
  }
  return true;
}

bool platform::ExtractedFile::Close() {
  if (!ok()) return false;
  const HANDLE handle = Handle(handle_);
  handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
  // On the disk before the install moves it in: a volume cannot be flushed
  // whole here (see disk_flush.h).
  const bool flushed = FlushFileBuffers(handle) != FALSE;
  return CloseHandle(handle) != FALSE && flushed;
}
