// The system's side of platform/install_lock.h: one try at an installation's
// exclusive hold. The waiting is written once, in platform/install_lock.cpp.
#pragma once

#include <memory>
#include <string>

namespace platform {

enum class HoldAttempt {
  kTaken,    ///< this hold has the installation
  kBusy,     ///< another hold has it
  kLinked,   ///< a link of any kind stands at the lock file's name: never followed
  kRefused,  ///< the system refused for another reason (LastSystemError() tells)
};

class InstallHold {
 public:
  /// The hold for the installation at `dstPath` (on Windows through the file
  /// `lockFileName` in it), not taken yet.
  static std::unique_ptr<InstallHold> Create(const std::string& dstPath, const std::string& lockFileName);
  /// Releases the hold, if taken.
  virtual ~InstallHold() = default;
  /// Tries once; once taken, the hold stays taken.
  virtual HoldAttempt tryTake() = 0;
};

}  // namespace platform
