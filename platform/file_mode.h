// Permission bits of an extracted file, from what its archive entry records.
#pragma once

#include <cstdint>

#include "platform/extracted_file.h"

namespace platform {

/// Gives the open extracted `file` the permissions its entry records, where
/// files have permission bits: those stored in the top half of
/// `externalAttributes` when the entry was made on Unix (high byte of
/// `versionMadeBy` is 3), otherwise 0644. Does nothing and returns true where
/// files have no such bits; false when they could not be set.
bool ApplyEntryMode(ExtractedFile& file, std::uint32_t versionMadeBy,
                    std::uint32_t externalAttributes);

}  // namespace platform
