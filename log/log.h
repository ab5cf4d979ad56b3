// The leveled log: one line per call to the day's file, the console and the debugger.
#pragma once

#include <string>

#include "platform/lock.h"

/// Levels index the name and colour tables; they are not ordered by severity.
enum LogLevel : int { Trace = 0, Debug = 1, Info = 2, Warning = 3, Error = 4, Alarm = 5, Severe = 6 };

/// The log's lock: held for the whole of every LogWrite call.
class LockHelper {
 public:
  LockHelper() = default;
  virtual ~LockHelper() = default;
  LockHelper(const LockHelper&) = delete;
  LockHelper& operator=(const LockHelper&) = delete;

  void lock() { lock_.lock(); }
  void unlock() { lock_.unlock(); }

 private:
  platform::Lock lock_;
};

extern LockHelper LogLock;

/// Directory below which the log writer keeps its "log" directory; empty
/// until start-up sets it. Read under LogLock; replaced only by SetLogRoot.
extern std::string LogRoot;

/// Writes one stamped line for `level` into LogFilePath(), `message` as it
/// is (the program's own text: the usage holds line feeds); never fails
/// towards the caller: a line that cannot be stored is dropped everywhere,
/// and the first such line since SetLogRoot says so on standard error
/// ("Log Not Written:PATH, error:CODE").
void LogWrite(int level, const char* sourceFile, int line, const char* message);

/// Formats `format`, every string argument escaped (EscapedText, so that a
/// name cannot forge a line), and logs it with LogWrite. A message longer
/// than 2047 bytes loses the end of its longest string arguments, not its
/// fixed text or numbers.
__attribute__((format(printf, 4, 5))) void LogFormatted(int level, const char* sourceFile, int line, const char* format,
                                                        ...);

/// Replaces LogRoot, the directory below which the log directory lies.
void SetLogRoot(std::string root);

/// The full path of the file the lines go to: below LogRoot + "/log/", the
/// file of the local day of the first line since SetLogRoot (of today while
/// there was none), kept for every later line, past midnight too, so that a
/// run's lines stand in one file. Empty when the path does not fit.
std::string LogFilePath();

/// Creates every missing directory along `path` ("\" or "/" separated); false
/// when one could not be created.
bool CreateDirectoryTree(std::string path);
