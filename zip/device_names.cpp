// Entry names that Windows would read as devices rather than files. One
// archive serves every platform, so they are refused on every platform.
#include "zip/device_names.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// Windows reads ¹, ² and ³ after COM and LPT as digits; as narrow text they
// are one byte in the Western code page and two in UTF-8.
bool IsPortNumber(const std::string& text) {
  static const std::array<std::string, 6> kSuperscripts = {"\xB9", "\xB2", "\xB3", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '9') return true;
  return std::find(kSuperscripts.begin(), kSuperscripts.end(), text) != kSuperscripts.end();
}

// The device is named by what comes before the first dot (an extension does
// not help) or colon, with trailing blanks and dots dropped, as Windows drops them.
bool IsDeviceSegment(const std::string& segment) {
  std::string base = Upper(segment.substr(0, segment.find_first_of(".:")));
  base.erase(base.find_last_not_of(" .") + 1);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$") {
    return true;
  }
  const std::string prefix = base.substr(0, 3);
  return (prefix == "COM" || prefix == "LPT") && IsPortNumber(base.substr(3));
}

}  // namespace

bool namesReservedDevice(const std::string& relative) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = relative.find_first_of("/\\", start);
    if (IsDeviceSegment(relative.substr(start, end - start))) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}
