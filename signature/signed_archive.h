// The signature check of a run: opt-in by a public key beside the updater,
// it decides whether the archive is the vendor's and no older than the
// signed release installed, before anything is touched.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/held_archive.h"

/// The public key file beside the updater that turns the check on.
constexpr const char kKeyFileName[] = "update-key.pub";
/// Appended to the archive's path: its signature file.
constexpr const char kSignatureSuffix[] = ".minisig";

struct SignedArchive {
  /// Empty when the archive may be installed; otherwise the file to blame
  /// (the key, the signature, the archive or the installation's record).
  std::string refusedFile;
  std::string reason;
  /// The archive as checked; the extraction reads held->readPath(). Null
  /// without a key file: the archive is read as it is.
  std::unique_ptr<platform::HeldArchive> held;
  bool hasSigningTime = false;
  std::uint64_t signingTime = 0;  ///< seconds, from the trusted comment
};

/// Checks `zipFile` against the key file in `updaterDir` (ending in its
/// separator), and its signing time against the record in `dstPath`.
SignedArchive CheckSignedArchive(const std::string& updaterDir, const std::string& zipFile, const std::string& dstPath);
