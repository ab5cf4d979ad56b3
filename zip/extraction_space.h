// Whether an archive's entries can fit where they are extracted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "zip/archive_entry.h"
#include "zip/extraction_failure.h"

/// Free space an extraction must leave on its volume, so that the log, the
/// installation and the rest of the system still have room.
constexpr std::uint64_t kFreeSpaceReserve = 64ull << 20;

/// The bytes that `entry`, written under the relative output name `relative`,
/// takes on disk: nothing for a directory, its recorded size for a file (the
/// library never hands out more), twice that for a file directly inside the
/// top-level folder `copiedFolder` (when not empty), whose files the caller
/// copies elsewhere rather than moves.
std::uint64_t bytesOnDisk(const ArchiveEntry& entry, const std::string& relative, const std::string& copiedFolder);

/// `total` + `more`, held at the largest value instead of wrapping around.
std::uint64_t addBytes(std::uint64_t total, std::uint64_t more);

/// The free bytes of the volume holding `destination`, or its nearest
/// existing parent when it does not exist yet (the current directory for a
/// relative one); nothing when the system cannot tell.
std::optional<std::uint64_t> freeBytesFor(const std::string& destination);

/// Kind::kNoRoom, with `needed` and kFreeSpaceReserve against the free bytes,
/// when they pass the free space of the volume holding `destination` (as
/// freeBytesFor finds it); Kind::kNone when they fit or the system cannot tell.
ExtractionFailure lackOfRoom(const std::string& destination, std::uint64_t needed);

/// True when `bytes` and kFreeSpaceReserve fit the free space of the volume
/// holding `destination`, or its nearest existing parent when it does not
/// exist yet (the current directory for a relative one); also true when the
/// system cannot tell.
bool fitsFreeSpace(const std::string& destination, std::uint64_t bytes);
