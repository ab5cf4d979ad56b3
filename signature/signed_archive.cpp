// The order of the check: the key (present means used, damaged means refused),
// the signature file, the signatures over the archive's bytes, and last the
// signing time against the installed release's.
#include "signature/signed_archive.h"

#include <utility>

#include "platform/entry_type.h"
#include "platform/system_error.h"
#include "signature/archive_verification.h"
#include "signature/minisign_files.h"
#include "signature/release_record.h"
#include "signature/small_file.h"

namespace {

SignedArchive Refused(SignedArchive checked, const std::string& file, const std::string& reason) {
  checked.held.reset();
  checked.refusedFile = file;
  checked.reason = reason;
  return checked;
}

std::string Unreadable(int error) {
  return error == 0 ? "too large for such a file" : "cannot be read, error:" + std::to_string(error);
}

std::string Seconds(std::uint64_t seconds) { return std::to_string(seconds); }

// Refuses an archive signed before the release the installation records.
SignedArchive AgainstRecord(SignedArchive checked, const std::string& zipFile, const std::string& dstPath) {
  std::uint64_t recorded = 0;
  int error = 0;
  switch (RecordedSigningTime(dstPath, recorded, error)) {
    case RecordState::kNone:
      return checked;
    case RecordState::kDamaged:
      return Refused(std::move(checked), ReleaseRecordPath(dstPath),
                     error != 0 ? Unreadable(error)
                                : "the record of the installed release is damaged: see the guide to restore it");
    case RecordState::kRead:
      break;
  }
  if (!checked.hasSigningTime) {
    return Refused(
        std::move(checked), zipFile,
        "its trusted comment has no timestamp, and a signed release signed at " + Seconds(recorded) + " is installed");
  }
  if (checked.signingTime < recorded) {
    return Refused(std::move(checked), zipFile,
                   "signed at " + Seconds(checked.signingTime) + ", before the installed release (signed at " +
                       Seconds(recorded) + "): an older release is installed only when signed again");
  }
  return checked;
}

}  // namespace

SignedArchive CheckSignedArchive(const std::string& updaterDir, const std::string& zipFile,
                                 const std::string& dstPath) {
  SignedArchive checked;
  const std::string keyPath = updaterDir + kKeyFileName;
  if (platform::EntryTypeOf(keyPath) == platform::EntryType::kMissing) return checked;

  std::string text;
  int error = 0;
  PublicKey key;
  if (!ReadSmallFile(keyPath, text, error)) return Refused(std::move(checked), keyPath, Unreadable(error));
  std::string damage = ReadPublicKey(text, key);
  if (!damage.empty()) return Refused(std::move(checked), keyPath, "the key file is damaged: " + damage);

  const std::string signaturePath = zipFile + kSignatureSuffix;
  FileSignature signature;
  if (platform::EntryTypeOf(signaturePath) == platform::EntryType::kMissing) {
    return Refused(std::move(checked), signaturePath, "the archive is not signed: no signature file");
  }
  if (!ReadSmallFile(signaturePath, text, error)) return Refused(std::move(checked), signaturePath, Unreadable(error));
  damage = ReadFileSignature(text, signature);
  if (!damage.empty()) return Refused(std::move(checked), signaturePath, "the signature file is damaged: " + damage);

  checked.held = platform::HoldArchive(zipFile, dstPath);
  if (!checked.held) {
    return Refused(
        std::move(checked), zipFile,
        "cannot be opened and held for the extraction, error:" + std::to_string(platform::LastSystemError()));
  }
  const Verification verification = VerifyArchive(*checked.held, key, signature);
  if (verification.blamed != Blamed::kNone) {
    const std::string& blamed = verification.blamed == Blamed::kSignature ? signaturePath : zipFile;
    return Refused(std::move(checked), blamed, verification.reason);
  }
  checked.hasSigningTime = SigningTime(signature.trustedComment, checked.signingTime);
  return AgainstRecord(std::move(checked), zipFile, dstPath);
}
