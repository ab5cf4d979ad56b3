// Text of one log line and name of the day's log file.
#include "log/log_format.h"

#include <cstdio>

namespace {

constexpr unsigned kLevelCount = 7;

// GBK, written as bytes: the files stay byte-identical whatever the code page.
constexpr const char* kLevelNames[kLevelCount] = {
    "\xB8\xFA\xD7\xD9",  // Trace
    "\xB5\xF7\xCA\xD4",  // Debug
    "\xD0\xC5\xCF\xA2",  // Info
    "\xBE\xAF\xB8\xE6",  // Warning
    "\xB4\xED\xCE\xF3",  // Error
    "\xB1\xA8\xBE\xAF",  // Alarm
    "\xD1\xCF\xD6\xD8",  // Severe
};

// The lenticular brackets around the level name are GBK A1 BE and A1 BF.
constexpr const char kLineFormat[] =
    "%d%02d%02d-%d:%02d:%02d.%03d"
    "\xA1\xBE"
    "%s"
    "\xA1\xBF"
    "%s %d %s\n";

template <typename... Args>
bool FormatFits(char* buffer, std::size_t size, const char* format, Args... args) {
  const int written = std::snprintf(buffer, size, format, args...);
  return written >= 0 && static_cast<std::size_t>(written) < size;
}

}  // namespace

bool FormatLogLine(char* buffer, std::size_t size, const std::tm& when, int milliseconds,
                   int level, const char* sourceFile, int line, const char* message) {
  const auto index = static_cast<unsigned>(level);
  // A level without a name keeps its place in the line with an empty name.
  const char* name = index < kLevelCount ? kLevelNames[index] : "";
  if (FormatFits(buffer, size, kLineFormat, when.tm_year + 1900, when.tm_mon + 1, when.tm_mday,
                 when.tm_hour, when.tm_min, when.tm_sec, milliseconds, name, sourceFile, line,
                 message)) {
    return true;
  }
  if (size >= 2) buffer[size - 2] = '\n';
  return false;
}

bool FormatLogFilePath(char* buffer, std::size_t size, const char* directory, const std::tm& when) {
  return FormatFits(buffer, size, "%slog_%d%02d%02d.txt", directory, when.tm_year + 1900,
                    when.tm_mon + 1, when.tm_mday);
}

bool FormatLogDirectory(char* buffer, std::size_t size, const char* root) {
  return FormatFits(buffer, size, "%s/log/", root);
}
