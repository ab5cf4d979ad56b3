// Text of one log line and name of the day's log file.
#include "log/log_format.h"

#include <array>
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "platform/output_text.h"

namespace {

constexpr unsigned kLevelCount = 7;

constexpr const char* kLevelNames[kLevelCount] = {
    u8"跟踪",  // Trace
    u8"调试",  // Debug
    u8"信息",  // Info
    u8"警告",  // Warning
    u8"错误",  // Error
    u8"报警",  // Alarm
    u8"严重",  // Severe
};

// The level name and its lenticular brackets, as this system writes them
// (platform::FixedOutputText); made once, at the first line.
struct ShownLevels {
  ShownLevels() {
    for (unsigned i = 0; i < kLevelCount; ++i) names[i] = platform::FixedOutputText(kLevelNames[i]);
  }
  std::string open = platform::FixedOutputText(u8"【");
  std::string close = platform::FixedOutputText(u8"】");
  std::array<std::string, kLevelCount> names;
};

const ShownLevels& Shown() {
  static const ShownLevels shown;
  return shown;
}

template <typename... Args>
bool FormatFits(char* buffer, std::size_t size, const char* format, Args... args) {
  const int written = std::snprintf(buffer, size, format, args...);
  return written >= 0 && static_cast<std::size_t>(written) < size;
}

}  // namespace

bool FormatLogLine(char* buffer, std::size_t size, const std::tm& when, int milliseconds, int level,
                   const char* sourceFile, int line, const char* message) {
  const auto index = static_cast<unsigned>(level);
  const ShownLevels& shown = Shown();
  // A level without a name keeps its place in the line with an empty name.
  const char* name = index < kLevelCount ? shown.names[index].c_str() : "";
  if (FormatFits(buffer, size, "%d%02d%02d-%d:%02d:%02d.%03d%s%s%s%s %d %s\n", when.tm_year + 1900, when.tm_mon + 1,
                 when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec, milliseconds, shown.open.c_str(), name,
                 shown.close.c_str(), sourceFile, line, message)) {
    return true;
  }
  if (size >= 2) buffer[size - 2] = '\n';
  return false;
}

bool FormatLogFilePath(char* buffer, std::size_t size, const char* directory, const std::tm& when) {
  return FormatFits(buffer, size, "%slog_%d%02d%02d.txt", directory, when.tm_year + 1900, when.tm_mon + 1,
                    when.tm_mday);
}

bool FormatLogDirectory(char* buffer, std::size_t size, const char* root) {
  // One separator between the root and "log", so that the path the
  // application started again is given reads as the system writes paths.
  const std::string given(root);
  const bool endsInSeparator = !given.empty() && (given.back() == '/' || given.back() == '\\');
  const char* separator = platform::kPathSeparator;
  return FormatFits(buffer, size, "%s%slog%s", root, endsInSeparator ? "" : separator, separator);
}
