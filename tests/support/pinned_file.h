// Test support: a file that can be neither moved nor deleted while pinned,
// as a file a running program holds on Windows.
#pragma once

#include <memory>
#include <string>

namespace testing_support {

/// Pins the file `path` until destruction. On Windows a helper program holds
/// it open without sharing (and writes "<path>.held" beside it); on Linux it
/// is made immutable, which takes the right to (ok() is false without it).
class PinnedFile {
 public:
  explicit PinnedFile(const std::string& path);
  ~PinnedFile();
  PinnedFile(const PinnedFile&) = delete;
  PinnedFile& operator=(const PinnedFile&) = delete;

  bool ok() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace testing_support
