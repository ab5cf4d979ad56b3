// Windows backends only: the name of a kernel object tied to one file-system
// path, the same for every spelling of that path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

/// "Local\<prefix>-<hash>", where the hash is taken over the full path of
/// `path` in upper case without trailing separators: the spellings C:\App,
/// c:\app\ and C:\App\.\ name one object. Object names may not hold "\", and
/// a path can be longer than a name may be, hence the hash.
inline std::wstring KernelObjectName(const char* prefix, const std::string& path) {
  const std::wstring wide = WideText(path);
  std::vector<wchar_t> full(32768, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  std::wstring normal = length > 0 && length < full.size() ? std::wstring(full.data(), length) : wide;
  while (normal.size() > 3 && (normal.back() == L'\\' || normal.back() == L'/')) normal.pop_back();
  CharUpperBuffW(normal.data(), static_cast<DWORD>(normal.size()));
  // FNV-1a, 64 bits, over the UTF-16 units.
  std::uint64_t hash = 14695981039346656037ULL;
  for (const wchar_t unit : normal) {
    hash ^= static_cast<std::uint16_t>(unit);
    hash *= 1099511628211ULL;
  }
  char name[96];
  std::snprintf(name, sizeof name, "Local\\%s-%016llx", prefix, static_cast<unsigned long long>(hash));
  return WideText(name);
}

/// Waits up to `timeoutMs` for `mutex`; a mutex abandoned by a killed owner
/// counts as taken, since what it guarded is for the new owner to check.
inline bool TakeMutex(HANDLE mutex, DWORD timeoutMs) {
  const DWORD result = WaitForSingleObject(mutex, timeoutMs);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

}  // namespace platform
