// POSIX backend of platform/file_names.h: names are bytes.
#include "platform/file_names.h"

#include <climits>

bool platform::SameFileName(const std::string& left, const std::string& right) { return left == right; }

std::string platform::FoldedFileName(const std::string& name) { return name; }

platform::SystemRead<std::string> platform::LongNameIn(const std::string&, const std::string& name) { return {name}; }

bool platform::FitsFileName(const std::string& name) { return name.size() <= NAME_MAX; }
