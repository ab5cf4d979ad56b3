// Text of one log line and name of the day's log file.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

/// Formats the line for `level` into `buffer`. A line that does not fit is cut
/// and still ends with a line feed; false then.
bool FormatLogLine(char* buffer, std::size_t size, const std::tm& when, int milliseconds, int level,
                   const char* sourceFile, int line, const char* message);

/// Formats "<directory>log_YYYYMMDD.txt" into `buffer`; false (nothing usable) when it does not fit.
bool FormatLogFilePath(char* buffer, std::size_t size, const char* directory, const std::tm& when);

/// Formats "<root>/log/" into `buffer`, with the system's separator and one
/// separator after the root however it ends; false (nothing usable) when it does not fit.
bool FormatLogDirectory(char* buffer, std::size_t size, const char* root);

/// `text` as a line shows a name: each byte below 0x20, 0x7F and each C1
/// control (U+0080 to U+009F) written as a visible escape ("\\x0A",
/// "\\u009B"), so that no name can end a line, forge one, or steer the
/// console. A NUL is shown like the rest; the result holds no control.
std::string EscapedText(std::string_view text);

/// One piece of a formatted message: the format's own text, or a string
/// argument (escaped).
struct MessagePiece {
  std::string text;
  bool argument = false;
};

/// `format` (printf's conversions: d i u x X o c p f e g with h, l, ll, z;
/// a string's width and precision are not used) filled from `args`, every
/// string argument passed through EscapedText.
std::vector<MessagePiece> FormatMessagePieces(const char* format, std::va_list args);

/// The pieces joined within `longest` bytes: what must go comes off the
/// longest string arguments first, each cut one ending in "...", so that
/// the format's own text and its numbers (a line's error code) stay; the
/// end of the whole is cut only when the format's text alone is too long.
std::string FitMessage(const std::vector<MessagePiece>& pieces, std::size_t longest);
