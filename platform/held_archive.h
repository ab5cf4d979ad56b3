// The archive as a signed run reads it: the bytes the signature check reads
// are the bytes the extraction reads, whoever else can write the archive.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

/// On Windows the archive itself, held open without write or delete sharing
/// until the run ends. On Linux, which has no share modes, an unnamed copy
/// that only the updater can reach, made while the copy is read: in memory,
/// or, for an archive larger than an eighth of the machine's memory, in the
/// installation's folder. It costs the archive's size in the one or the
/// other while the run lasts.
class HeldArchive {
 public:
  virtual ~HeldArchive() = default;
  /// The archive's next bytes, in order: how many, 0 at its end, -1 on
  /// failure (LastSystemError() tells why); `bytes` points at them until the
  /// next call. On Linux they are the copy's own, so a failure may be the
  /// copy's.
  virtual long long next(const unsigned char*& bytes) = 0;
  /// Called after the last bytes: false, with LastSystemError(), when the
  /// copy could not be completed. What the extraction may open from now on
  /// is readPath().
  virtual bool finish() = 0;
  /// The path the extraction opens: the archive's own on Windows, the copy's
  /// on Linux.
  virtual std::string readPath() const = 0;
};

/// Opens `archivePath` for reading, to be copied (into memory, or into
/// `installDir`) where the system needs a copy; null, with LastSystemError()
/// telling why, when the archive cannot be opened (or, on Windows, someone
/// has it open for writing) or the copy cannot be made.
std::unique_ptr<HeldArchive> HoldArchive(const std::string& archivePath, const std::string& installDir);

}  // namespace platform
