// POSIX backend of platform/output_text.h: the log and the console take UTF-8 as it is.
#include "platform/output_text.h"

std::string platform::OutputText(const std::string& text) { return text; }

std::string platform::FixedOutputText(const std::string& utf8) { return utf8; }
