// Text of one log line and name of the day's log file.
#include "log/log_format.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <type_traits>

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

// A va_list that helpers can take by reference on every ABI (on some it is
// an array, which a parameter would turn into a pointer).
struct Arguments {
  std::va_list list;
};

template <typename T>
std::string FormattedOne(const std::string& directive, Arguments& args) {
  const T value = va_arg(args.list, T);
  const int length = std::snprintf(nullptr, 0, directive.c_str(), value);
  if (length <= 0) return {};
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), directive.c_str(), value);
  return text.data();
}

template <typename Signed, typename Unsigned>
std::string FormattedInteger(const std::string& directive, bool isSigned, Arguments& args) {
  return isSigned ? FormattedOne<Signed>(directive, args) : FormattedOne<Unsigned>(directive, args);
}

// One conversion other than %s; `length` is its length modifier. Types
// narrower than int arrive as int, as the call promoted them.
std::string FormattedValue(const std::string& directive, const std::string& length, char conversion, Arguments& args) {
  if (std::strchr("fFeEgGaA", conversion) != nullptr) return FormattedOne<double>(directive, args);
  if (conversion == 'p') return FormattedOne<void*>(directive, args);
  if (std::strchr("diuxXoc", conversion) == nullptr) return directive;  // no argument is taken
  const bool isSigned = conversion == 'd' || conversion == 'i' || conversion == 'c';
  if (length == "l") return FormattedInteger<long, unsigned long>(directive, isSigned, args);
  if (length == "ll") return FormattedInteger<long long, unsigned long long>(directive, isSigned, args);
  if (length == "z") return FormattedInteger<std::make_signed_t<std::size_t>, std::size_t>(directive, isSigned, args);
  return FormattedInteger<int, unsigned>(directive, isSigned, args);
}

}  // namespace

std::string EscapedText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0u;
    if (byte < 0x20 || byte == 0x7F) {
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      // U+0080 to U+009F in UTF-8: a terminal may read U+009B as the start of a sequence.
      shown += {'\\', 'u', '0', '0', kHex[next >> 4], kHex[next & 0xF]};
      ++at;
    } else {
      shown += static_cast<char>(byte);
    }
  }
  return shown;
}

std::vector<MessagePiece> FormatMessagePieces(const char* format, std::va_list list) {
  Arguments args;
  va_copy(args.list, list);
  std::vector<MessagePiece> pieces(1);
  for (const char* at = format; *at != '\0';) {
    if (*at != '%') {
      pieces.back().text += *at++;
      continue;
    }
    const char* const start = at++;
    while (*at != '\0' && std::strchr("-+ #0123456789.", *at) != nullptr) ++at;
    std::string length;
    while (*at != '\0' && std::strchr("hlzjt", *at) != nullptr) length += *at++;
    const char conversion = *at != '\0' ? *at++ : '\0';
    if (conversion == '%') {
      pieces.back().text += '%';
    } else if (conversion == 's') {
      const char* text = va_arg(args.list, const char*);
      pieces.push_back({EscapedText(text != nullptr ? text : "(null)"), true});
      pieces.emplace_back();
    } else {
      pieces.back().text += FormattedValue(std::string(start, at), length, conversion, args);
    }
  }
  va_end(args.list);
  return pieces;
}

std::string FitMessage(const std::vector<MessagePiece>& pieces, std::size_t longest) {
  static constexpr std::string_view kCutMark = "...";
  std::vector<std::string> texts;
  std::size_t total = 0;
  for (const MessagePiece& piece : pieces) {
    texts.push_back(piece.text);
    total += piece.text.size();
  }
  while (total > longest) {
    std::size_t cut = texts.size();
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (pieces[i].argument && texts[i].size() > kCutMark.size() &&
          (cut == texts.size() || texts[i].size() > texts[cut].size())) {
        cut = i;
      }
    }
    if (cut == texts.size()) break;
    std::string& text = texts[cut];
    const std::size_t excess = total - longest + kCutMark.size();
    std::size_t keep = text.size() > excess ? text.size() - excess : 0;
    // Not inside a UTF-8 character.
    while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
    total -= text.size();
    text = text.substr(0, keep) + std::string(kCutMark);
    total += text.size();
  }
  std::string message;
  for (const std::string& text : texts) message += text;
  if (message.size() > longest) message.resize(longest);
  return message;
}

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
