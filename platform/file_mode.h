// Permission bits of an extracted file: from what its archive entry records,
// or from the installed file it will replace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/extracted_file.h"

namespace platform {

/// The most bytes of a file's start that ApplyEntryMode looks at.
constexpr std::size_t kProgramSignatureSize = 4;

/// Gives the open extracted `file` the permissions its entry records, where
/// files have permission bits: those stored in the top half of
/// `externalAttributes` when the entry was made on Unix (high byte of
/// `versionMadeBy` is 3); for an entry made elsewhere, 0755 when `firstBytes`
/// (the file's first kProgramSignatureSize bytes, or all of a shorter file)
/// start as a program does (an ELF header or "#!"), 0644 otherwise. Does
/// nothing and returns true where files have no such bits; false when they
/// could not be set.
bool ApplyEntryMode(ExtractedFile& file, std::uint32_t versionMadeBy, std::uint32_t externalAttributes,
                    std::string_view firstBytes);

/// Gives the file `path` (never followed if it is a link) the permission bits
/// of the regular file `model` (followed). Does nothing and returns true where
/// files have no such bits; false when `model` is no regular file or the bits
/// could not be read or set, with LastSystemError() telling why.
bool CopyPermissionBits(const std::string& model, const std::string& path);

}  // namespace platform
