// The log writer: the lock, the daily file, console colours and debugger output.
#include "log/log.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "log/log_format.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/log_append.h"

LockHelper LogLock;
std::string LogRoot;

namespace {

constexpr unsigned kLevelCount = 7;
constexpr std::uint16_t kLevelAttributes[kLevelCount] = {0x0009, 0x0007, 0x0003, 0x0006,
                                                          0x0004, 0x0002, 0x0005};

constexpr std::size_t kPathBufferSize = 260;
constexpr std::size_t kLineBufferSize = 4100;

// Shared by every call; used only while LogLock is held.
char lineBuffer[kLineBufferSize];

struct LocalStamp {
  std::tm calendar;
  int milliseconds;
};

LocalStamp ReadLocalStamp() {
  constexpr std::uint64_t kMicrosecondsTo1970 = 11644473600000000ULL;
  const std::uint64_t micros = platform::SystemTimeTicks() / 10 - kMicrosecondsTo1970;
  const std::uint64_t millis = micros / 1000;
  const std::uint64_t seconds = millis / 1000;
  return {platform::LocalTime(static_cast<std::int64_t>(seconds)),
          static_cast<int>(millis - seconds * 1000)};
}

}  // namespace

void LogWrite(int level, const char* sourceFile, int line, const char* message) {
  std::lock_guard<LockHelper> guard(LogLock);

  // A root or path that does not fit its buffer loses the line, as a file
  // that cannot be opened does: nothing is written past a buffer.
  char directory[kPathBufferSize] = {};
  if (!FormatLogDirectory(directory, sizeof directory, LogRoot.c_str())) return;
  if (!platform::IsExistingDirectory(directory)) CreateDirectoryTree(directory);

  const LocalStamp stamp = ReadLocalStamp();
  char filePath[kPathBufferSize] = {};
  if (!FormatLogFilePath(filePath, sizeof filePath, directory, stamp.calendar)) return;
  // Opened (and so created) before the level is looked at: a Debug line
  // still leaves the day's file behind.
  // Held until the line is written: other processes append to the same day's file.
  platform::LogAppend file(filePath);
  if (!file.ok()) return;

  FormatLogLine(lineBuffer, sizeof lineBuffer, stamp.calendar, stamp.milliseconds, level,
                sourceFile, line, message);

  const auto index = static_cast<unsigned>(level);
  if (index >= kLevelCount) {
    std::printf("%s", lineBuffer);
  } else if (platform::PrintColoured(lineBuffer, kLevelAttributes[index]) && level == Trace) {
    platform::SendToDebugger(lineBuffer);
  }

  if (level != Debug) file.Write(lineBuffer);
}

void LogFormatted(int level, const char* sourceFile, int line, const char* format, ...) {
  char message[2048];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  LogWrite(level, sourceFile, line, message);
}

void SetLogRoot(std::string root) {
  std::lock_guard<LockHelper> guard(LogLock);
  LogRoot = std::move(root);
}

bool CreateDirectoryTree(std::string path) {
  if (path.empty()) return true;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.back() != '/') path += '/';
  for (std::size_t slash = path.find('/'); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (slash == 0) continue;
    const std::string prefix = path.substr(0, slash);
    if (!platform::IsExistingDirectory(prefix) && !platform::MakeDirectory(prefix)) return false;
  }
  return true;
}
