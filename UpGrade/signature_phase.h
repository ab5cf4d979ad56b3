// The signature check's place in the run and its log lines: the check before
// the clear, the signing time recorded into the extracted tree after it.
#pragma once

#include <string>

#include "signature/signed_archive.h"

/// Checks `zipFile` as CheckSignedArchive does into `checked`; false, with
/// the refusal logged, when it may not be installed.
bool SignatureAllowsArchive(const std::string& zipFile, const std::string& dstPath, SignedArchive& checked);

/// Writes the signing time of a checked archive into the extracted tree
/// `updateDir`, to be installed with it; true when there is none to write.
/// False, logged, when it cannot be written.
bool RecordSigningTime(const SignedArchive& checked, const std::string& updateDir);
