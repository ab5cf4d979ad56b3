// Time stamps of an extracted file, from an archive entry's MS-DOS stamp.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

/// Stamps the existing file `path` with `dosDateTime` (date in the high 16 bits,
/// time in the low 16) read as local time: creation and last-write times on
/// Windows, the modification time on Linux; the last-access time is kept.
/// False, with the file's times unchanged, when the file cannot be opened or
/// the stamp is not a valid date.
bool StampFileFromDosTime(const std::string& path, std::uint32_t dosDateTime);

}  // namespace platform
