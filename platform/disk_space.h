// Free space on the volume that holds a directory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

/// Bytes this process may still write on the volume holding the existing
/// directory `path` (quotas and the superuser's reserve taken off); nothing
/// when the system cannot tell: the space check only refuses early what a
/// write would fail on anyway, so an unknown room is no refusal.
std::optional<std::uint64_t> FreeBytesOf(const std::string& path);

}  // namespace platform
