// Small text helpers: process id, number test, formatting, replacement, hex, local time.
#include "util/text.h"

#include <cstdarg>
#include <cstdio>
#include <sstream>

#include "platform/clock.h"
#include "platform/process.h"

namespace {
constexpr std::size_t kFormatBufferSize = 2048;
}  // namespace

std::string ProcessIdText() { return ProcessIdText(platform::CurrentProcessId()); }

std::string ProcessIdText(std::uint32_t processId) {
  char text[16] = {};
  std::snprintf(text, sizeof text, "%06u", static_cast<unsigned>(processId));
  return text;
}

bool IsNumber(const std::string& text) {
  std::istringstream in(text);
  double value = 0;
  in >> value;
  if (in.fail()) return false;
  in >> std::ws;
  return in.eof();
}

std::string FormatToString(const char* format, ...) {
  char buffer[kFormatBufferSize] = {};
  if (format == nullptr) return {};
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  return buffer;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

std::string HexText(const std::string& bytes, const std::string& separator) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * (2 + separator.size()));
  for (const char byte : bytes) {
    const unsigned char value = static_cast<unsigned char>(byte);
    out.push_back(kDigits[value >> 4]);
    out.push_back(kDigits[value & 0x0F]);
    out += separator;
  }
  return out;
}

std::tm LocalTimeOf(std::int64_t seconds) { return platform::LocalTime(seconds); }
