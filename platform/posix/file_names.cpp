// POSIX backend of platform/file_names.h: names are bytes.
#include "platform/file_names.h"

bool platform::SameFileName(const std::string& left, const std::string& right) { return left == right; }
