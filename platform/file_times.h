// Time stamps of an extracted file, from an archive entry's MS-DOS stamp.
#pragma once

#include <cstdint>

#include "platform/extracted_file.h"

namespace platform {

/// Stamps the open `file` with `dosDateTime` (date in the high 16 bits, time
/// in the low 16) read as local time: creation and last-write times on
/// Windows, the modification time on Linux; the last-access time is kept.
/// Call it after the last Write: a later write would move the last-write time.
/// False, with the file's times unchanged, when the stamp is not a valid date
/// or cannot be set.
bool StampFileFromDosTime(ExtractedFile& file, std::uint32_t dosDateTime);

}  // namespace platform
