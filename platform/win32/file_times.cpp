// Windows backend of platform/file_times.h.
#include "platform/file_times.h"

#include <windows.h>

namespace {

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

// LocalFileTimeToFileTime applies the offset in force now, not the one at the
// stamp's date: a summer stamp converted in winter ends up an hour off.
bool platform::StampFileFromDosTime(const std::string& path, std::uint32_t dosDateTime) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, /*dwShareMode=*/0,
                                /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING,
                                /*dwFlagsAndAttributes=*/0, /*hTemplateFile=*/nullptr));
  if (!file.valid()) return false;
  FILETIME creation{}, lastAccess{}, lastWrite{};
  if (!GetFileTime(file.get(), &creation, &lastAccess, &lastWrite)) return false;
  FILETIME local{}, utc{};
  if (!DosDateTimeToFileTime(HIWORD(dosDateTime), LOWORD(dosDateTime), &local)) return false;
  if (!LocalFileTimeToFileTime(&local, &utc)) return false;
  return SetFileTime(file.get(), &utc, &lastAccess, &utc) != FALSE;
}
