// Windows backend of platform/symbolic_link.h: extraction makes no links, so
// an archive reads as the program is described on Windows.
#include "platform/symbolic_link.h"

#include <windows.h>

#include "platform/win32/final_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

const bool platform::kMakesSymbolicLinks = false;

bool platform::MakeSymbolicLink(const std::string& /*target*/, const std::string& /*path*/) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

// Where the link leads now, as the system resolves it: reading a reparse
// point's own data would tell junctions, links and mount points apart for
// nothing, since only whether it still leads to the same place matters.
platform::SystemRead<std::string> platform::LinkText(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {{}, static_cast<int>(GetLastError())};
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return {{}, ERROR_NOT_A_REPARSE_POINT};
  const UniqueHandle leadsTo(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!leadsTo.ok()) return {{}, static_cast<int>(GetLastError())};
  const std::wstring text = FinalPathOf(leadsTo.get());
  if (text.empty()) return {{}, static_cast<int>(GetLastError())};
  return {Utf8Text(text), 0};
}
