// POSIX backend of tests/support/folder_trait.h.
#include "tests/support/folder_trait.h"

void testing_support::SetUncommonTrait(const std::filesystem::path& dir) {
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
}
