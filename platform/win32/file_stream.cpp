// Windows backend of platform/file_stream.h.
#include "platform/file_stream.h"

const char platform::kAppendTextMode[] = "at";
