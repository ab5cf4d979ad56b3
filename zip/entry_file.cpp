// The file one entry is extracted to.
#include "zip/entry_file.h"

#include <algorithm>

#include "platform/file_mode.h"
#include "platform/file_times.h"

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
