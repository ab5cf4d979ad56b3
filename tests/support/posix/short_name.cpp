// POSIX backend of tests/support/short_name.h: Linux keeps no short names.
#include "tests/support/short_name.h"

std::string testing_support::ShortNameOf(const std::filesystem::path&) { return {}; }
