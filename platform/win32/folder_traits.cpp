// Windows backend of platform/folder_traits.h.
#include "platform/folder_traits.h"

#include <cstring>

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace {

constexpr SECURITY_INFORMATION kSecurityParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

}  // namespace

platform::SystemRead<std::string> platform::FolderTraits(const std::string& dir) {
  const std::wstring wide = WidePath(dir);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {{}, static_cast<int>(GetLastError())};
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return {{}, ERROR_DIRECTORY};
  }
  DWORD needed = 0;
  GetFileSecurityW(wide.c_str(), kSecurityParts, /*pSecurityDescriptor=*/nullptr, 0, &needed);
  if (needed == 0) return {{}, static_cast<int>(GetLastError())};
  std::string traits(sizeof attributes + needed, '\0');
  std::memcpy(&traits[0], &attributes, sizeof attributes);
  if (!GetFileSecurityW(wide.c_str(), kSecurityParts, &traits[sizeof attributes], needed, &needed)) {
    return {{}, static_cast<int>(GetLastError())};
  }
  return {traits, 0};
}
