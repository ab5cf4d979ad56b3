// Windows backend of platform/file_mode.h: Windows files have no permission
// bits to restore, and the program never marks an extracted file read-only.
#include "platform/file_mode.h"

bool platform::ApplyEntryMode(ExtractedFile& /*file*/, std::uint32_t /*versionMadeBy*/,
                              std::uint32_t /*externalAttributes*/) {
  return true;
}
