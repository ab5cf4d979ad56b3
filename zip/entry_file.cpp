// The file one entry is extracted to.
#include "zip/entry_file.h"

#include <algorithm>

#include "platform/entry_type.h"
#include "platform/file_mode.h"
#include "platform/file_times.h"
#include "platform/system_error.h"

// Only a file made now is the extraction's to take away again; one it
// replaces in a destination that held files stays.
EntryFile::EntryFile(ExtractionFolders& folders, const std::string& relative)
    : folder_(folders.parentOf(relative, name_, notMade_)),
      isNew_(folders.exclusive() || folder_.TypeOf(name_) == platform::EntryType::kMissing),
      file_(folder_, name_, folders.exclusive()) {
  if (!folder_.ok()) return;
  if (!file_.ok()) {
    notMade_ = ExtractionFolders::failureAt(folder_, name_, platform::LastSystemError());
  } else if (isNew_) {
    folders.noteMade(relative);
  }
}

ExtractionFailure EntryFile::failed() const {
  if (!folder_.ok() || notMade_.kind != ExtractionFailure::Kind::kNone) return notMade_;
  return ExtractionFolders::failureAt(folder_, name_, platform::LastSystemError());
}

bool EntryFile::write(const char* bytes, std::size_t count) {
  if (firstBytes_.size() < platform::kProgramSignatureSize) {
    firstBytes_.append(bytes, std::min(count, platform::kProgramSignatureSize - firstBytes_.size()));
  }
  return file_.Write(bytes, count);
}

// Mode and time go after the last write and before the close, which keeps them.
bool EntryFile::finish(const EntryFileStamp& stamp) {
  platform::ApplyEntryMode(file_, stamp.versionMadeBy, stamp.externalAttributes, firstBytes_);
  platform::StampFileFromDosTime(file_, stamp.dosDateTime);
  return file_.Close();
}
