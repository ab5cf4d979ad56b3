// Whether a signature file's signatures hold for a public key and an
// archive's bytes, read once from the archive as the run holds it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/held_archive.h"
#include "signature/minisign_files.h"

/// A legacy signature covers the bytes themselves, so the whole archive must
/// be in memory at once: at most this much, which the 32-bit Windows program
/// can still find in one piece beside the extraction's own needs.
constexpr std::uint64_t kLegacyArchiveLimit = 256ull << 20;

/// Why the check refused, and which of its files is to blame.
enum class Blamed { kNone, kSignature, kArchive };

struct Verification {
  Blamed blamed = Blamed::kNone;  ///< kNone: both signatures hold
  std::string reason;
};

/// Checks that `signature` names `key`, that its trusted comment is signed
/// by it, and that its signature holds for every byte of `archive`, read to
/// the end (and finished) here.
Verification VerifyArchive(platform::HeldArchive& archive, const PublicKey& key, const FileSignature& signature);
