// The bytes that the console and the log file show for the program's text.
#pragma once

#include <string>

namespace platform {

/// `text` as the console and the log file show it. On Windows every UTF-8
/// character in it is put in the system's ANSI code page (one the code page
/// lacks becomes "?") and every byte that starts no UTF-8 character (the GBK
/// literals of the log's messages) stays as it is; on Linux it is `text` itself.
std::string OutputText(const std::string& text);

/// One of the fixed words of the log and the console (`utf8`: the level
/// names, their brackets, the full-width colon, the start-up line) in the
/// bytes this system writes them in: GBK on Windows, whatever the ANSI code
/// page, as the tools that read Windows logs expect; UTF-8 on Linux, so that
/// the whole log is UTF-8.
std::string FixedOutputText(const std::string& utf8);

}  // namespace platform
