// Windows backend of platform/symbolic_link.h: extraction makes no links, so
// an archive reads as the program is described on Windows.
#include "platform/symbolic_link.h"

#include <windows.h>

const bool platform::kMakesSymbolicLinks = false;

bool platform::MakeSymbolicLink(const std::string& /*target*/, const std::string& /*path*/) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}
