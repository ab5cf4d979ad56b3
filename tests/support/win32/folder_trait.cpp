// Windows backend of tests/support/folder_trait.h.
#include "tests/support/folder_trait.h"

#include <windows.h>

void testing_support::SetUncommonTrait(const std::filesystem::path& dir) {
  SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
}
