// Windows backend of tests/support/pinned_file.h: a helper holding the file.
#include "tests/support/pinned_file.h"

#include <filesystem>
#include <optional>

#include "tests/support/child_process.h"
#include "tests/support/test_programs.h"

namespace testing_support {

struct PinnedFile::Impl {
  std::optional<ChildProcess> holder;
  std::string marker;
  bool pinned = false;
};

PinnedFile::PinnedFile(const std::string& path) : impl_(std::make_unique<Impl>()) {
  impl_->marker = path + ".held";
  impl_->holder.emplace(HelperProgram("hold_file"), std::vector<std::string>{path});
  impl_->pinned = impl_->holder->started() && WaitForFile(impl_->marker);
}

PinnedFile::~PinnedFile() {
  impl_->holder.reset();
  std::error_code ignored;
  std::filesystem::remove(impl_->marker, ignored);
}

bool PinnedFile::ok() const { return impl_->pinned; }

}  // namespace testing_support
