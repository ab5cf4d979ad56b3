// The log writer: the lock, the daily file, console colours and debugger output.
#include "log/log.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

#include "log/log_format.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/log_append.h"
#include "platform/output_text.h"
#include "platform/system_error.h"

LockHelper LogLock;
std::string LogRoot;

namespace {

constexpr unsigned kLevelCount = 7;
constexpr std::uint16_t kLevelAttributes[kLevelCount] = {0x0009, 0x0007, 0x0003, 0x0006, 0x0004, 0x0002, 0x0005};

constexpr std::size_t kLineBufferSize = 4100;
// A formatted message keeps at most this many bytes, as they are shown.
constexpr std::size_t kLongestMessage = 2047;

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
  return {platform::LocalTime(static_cast<std::int64_t>(seconds)), static_cast<int>(millis - seconds * 1000)};
}

// Where this run's lines go: fixed at its first line, so that a run that
// crosses midnight keeps to one file. Used only while LogLock is held;
// emptied by SetLogRoot.
struct LogFile {
  std::string directory;
  std::string path;  // empty while no line was written, or when it does not fit
};
LogFile runLog;
// The run says once on standard error that its log cannot be written.
bool unwritableReported = false;

const LogFile& RunLogFile(const std::tm& day) {
  if (runLog.path.empty()) {
    std::vector<char> directory(platform::kLongestLogPath, '\0');
    std::vector<char> path(platform::kLongestLogPath, '\0');
    if (FormatLogDirectory(directory.data(), directory.size(), LogRoot.c_str()) &&
        FormatLogFilePath(path.data(), path.size(), directory.data(), day)) {
      runLog = {directory.data(), path.data()};
    }
  }
  return runLog;
}

void ReportUnwritable(const std::string& path, int code) {
  if (unwritableReported) return;
  unwritableReported = true;
  std::fprintf(stderr, "Log Not Written:%s, error:%d\n", platform::OutputText(EscapedText(path)).c_str(), code);
}

// Writes `message`, already in the bytes the log shows.
void WriteLine(int level, const char* sourceFile, int line, const char* message) {
  std::lock_guard<LockHelper> guard(LogLock);

  // A root or path that does not fit its buffer loses the line, as a file
  // that cannot be opened does: nothing is written past a buffer.
  const LocalStamp stamp = ReadLocalStamp();
  const LogFile& log = RunLogFile(stamp.calendar);
  if (log.path.empty()) {
    ReportUnwritable(LogRoot + "/log/", platform::kLogPathTooLong);
    return;
  }
  int directoryError = 0;
  if (!platform::IsExistingDirectory(log.directory) && !CreateDirectoryTree(log.directory)) {
    directoryError = platform::LastSystemError();
  }
  // Opened (and so created) before the level is looked at: a Debug line
  // still leaves the day's file behind.
  // Held until the line is written: other processes append to the same day's file.
  platform::LogAppend file(log.path.c_str());
  if (!file.ok()) {
    // The folder that could not be made says more than the open that followed.
    ReportUnwritable(log.path, directoryError != 0 ? directoryError : file.error());
    return;
  }

  FormatLogLine(lineBuffer, sizeof lineBuffer, stamp.calendar, stamp.milliseconds, level, sourceFile, line, message);

  const auto index = static_cast<unsigned>(level);
  if (index >= kLevelCount) {
    std::printf("%s", lineBuffer);
  } else if (platform::PrintColoured(lineBuffer, kLevelAttributes[index]) && level == Trace) {
    platform::SendToDebugger(lineBuffer);
  }

  if (level != Debug && !file.Write(lineBuffer)) ReportUnwritable(log.path, file.error());
}

}  // namespace

void LogWrite(int level, const char* sourceFile, int line, const char* message) {
  WriteLine(level, sourceFile, line, platform::OutputText(message).c_str());
}

// Each piece put as shown before the cut: on Windows a path's characters
// take other byte counts in the ANSI code page than in UTF-8.
void LogFormatted(int level, const char* sourceFile, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vector<MessagePiece> pieces = FormatMessagePieces(format, args);
  va_end(args);
  for (MessagePiece& piece : pieces) piece.text = platform::OutputText(piece.text);
  WriteLine(level, sourceFile, line, FitMessage(pieces, kLongestMessage).c_str());
}

void SetLogRoot(std::string root) {
  std::lock_guard<LockHelper> guard(LogLock);
  LogRoot = std::move(root);
  runLog = {};
  unwritableReported = false;
}

std::string LogFilePath() {
  std::lock_guard<LockHelper> guard(LogLock);
  return RunLogFile(ReadLocalStamp().calendar).path;
}

bool CreateDirectoryTree(std::string path) {
  if (path.empty()) return true;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.back() != '/') path += '/';
  for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    if (slash == 0) continue;
    const std::string prefix = path.substr(0, slash);
    if (!platform::IsExistingDirectory(prefix) && !platform::MakeDirectory(prefix)) return false;
  }
  return true;
}
