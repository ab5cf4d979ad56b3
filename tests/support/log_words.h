// The log's fixed words as each system writes them: GBK bytes on Windows,
// the same characters in UTF-8 on Linux.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace testing_support {

inline bool LogInGbk() { return std::string(platform::kPathSeparator) == "\\"; }

inline std::string LogWord(const char* gbk, const char* utf8) { return LogInGbk() ? gbk : utf8; }

inline const std::string kLogOpen = LogWord("\xA1\xBE", u8"【");
inline const std::string kLogClose = LogWord("\xA1\xBF", u8"】");
inline const std::string kLogColon = LogWord("\xA3\xBA", u8"：");
inline const std::string kLogStartup = LogWord("\xBF\xAA\xCA\xBC\xB3\xF5\xCA\xBC\xBB\xAF", u8"开始初始化") + "AES\n";
/// Trace, Debug, Info, Warning, Error, Alarm, Severe.
inline const std::string kLogLevels[] = {LogWord("\xB8\xFA\xD7\xD9", u8"跟踪"), LogWord("\xB5\xF7\xCA\xD4", u8"调试"),
                                         LogWord("\xD0\xC5\xCF\xA2", u8"信息"), LogWord("\xBE\xAF\xB8\xE6", u8"警告"),
                                         LogWord("\xB4\xED\xCE\xF3", u8"错误"), LogWord("\xB1\xA8\xBE\xAF", u8"报警"),
                                         LogWord("\xD1\xCF\xD6\xD8", u8"严重")};

}  // namespace testing_support
