// The signature check's log lines: a refusal is one line, naming the file to
// blame and why, and the run ends before the clear.
#include "UpGrade/signature_phase.h"

#include "UpGrade/log_lines.h"
#include "install/install.h"
#include "log/log.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "signature/release_record.h"
#include "util/module_context.h"

bool SignatureAllowsArchive(const std::string& zipFile, const std::string& dstPath, SignedArchive& checked) {
  checked = CheckSignedArchive(GetModuleDir(), zipFile, dstPath);
  if (checked.refusedFile.empty()) return true;
  LogFormatted(Error, kDriverLogSource, kSignatureRefusedLine, "Signature Refused:%s, Reason:%s",
               checked.refusedFile.c_str(), checked.reason.c_str());
  return false;
}

// Installed as a top-level file of the tree, the record is moved aside and
// brought back with the rest when the install is undone.
bool RecordSigningTime(const SignedArchive& checked, const std::string& updateDir) {
  if (!checked.hasSigningTime) return true;
  const std::string record = updateDir + platform::kPathSeparator + kReleaseRecordName;
  if (WriteReleaseRecord(record, checked.signingTime)) return true;
  LogFormatted(Error, kDriverLogSource, kEntryNotWrittenLine, "Entry Not Written:%s, error:%d", record.c_str(),
               platform::LastSystemError());
  return false;
}
