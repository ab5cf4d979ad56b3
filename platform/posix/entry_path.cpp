// POSIX backend of platform/entry_path.h.
#include "platform/entry_path.h"

#include <algorithm>

std::string platform::EntryPathForSystem(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

std::string platform::EntryNameText(std::string stored, bool /*utf8Flag*/) { return stored; }
