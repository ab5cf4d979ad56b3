// Windows backend of platform/held_archive.h: the archive held open, shared
// with readers only, from the check to the end of the run.
#include "platform/held_archive.h"

#include <windows.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace {

// Without FILE_SHARE_WRITE nobody can open the archive to write it while the
// handle lives, and without FILE_SHARE_DELETE nobody can rename or delete it
// (nor, so, put another file under its name); the extraction's own open
// shares reading and asks only to read, so it is let in. No copy is needed.
class SharedForReadingOnly : public platform::HeldArchive {
 public:
  SharedForReadingOnly(HANDLE file, std::string path) : file_(file), path_(std::move(path)) {}

  long long next(const unsigned char*& bytes) override {
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &got, nullptr)) return -1;
    bytes = buffer_.data();
    return got;
  }

  bool finish() override { return true; }

  std::string readPath() const override { return path_; }

 private:
  platform::UniqueHandle file_;
  std::string path_;
  std::vector<unsigned char> buffer_ = std::vector<unsigned char>(1 << 20);
};

}  // namespace

std::unique_ptr<platform::HeldArchive> platform::HoldArchive(const std::string& archivePath,
                                                             const std::string& /*installDir*/) {
  UniqueHandle file(CreateFileW(WidePath(archivePath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.ok()) return nullptr;
  return std::make_unique<SharedForReadingOnly>(file.release(), archivePath);
}
