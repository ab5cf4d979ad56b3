// Windows backend of platform/file_search.h.
#include "platform/file_search.h"

#include <windows.h>

namespace {
class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (ok()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};
}  // namespace

std::vector<std::string> platform::FindMatchingNames(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const FindHandle search(FindFirstFileA(pattern.c_str(), &found));
  if (!search.ok()) return names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileA(search.get(), &found));
  return names;
}
