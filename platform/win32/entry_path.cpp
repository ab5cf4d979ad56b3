// Windows backend of platform/entry_path.h.
#include "platform/entry_path.h"

std::string platform::EntryPathForSystem(std::string name) { return name; }
