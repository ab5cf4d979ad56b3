// The bytes that the console and the log file show for the program's text.
#pragma once

#include <string>

namespace platform {

/// `text` as the console and the log file show it. On Windows every UTF-8
/// character in it is put in the system's ANSI code page (one the code page
/// lacks becomes "?") and every byte that starts no UTF-8 character (the GBK
/// literals of the log's messages) stays as it is; on Linux it is `text` itself.
std::string OutputText(const std::string& text);

}  // namespace platform
