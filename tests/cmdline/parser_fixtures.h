// Parser test helpers, also used by the fuzz target: driver options, argument vector, refusing reader.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "cmdline/parser.h"

namespace cmdline_testing {

/// Registers exeName, zipFile, dstPath and help, then the footer and usage name, as the driver does.
inline void RegisterDriverOptions(cmdline::parser& options) {
  options.register_value_option("exeName", 'e', "kill process name", true, "");
  options.register_value_option("zipFile", 'z', "extract zip name", true, "");
  options.register_value_option("dstPath", 'd', "dest copy file path", true, "");
  options.register_flag("help", '\0', "print this message");
  options.set_usage_footer("filename ...");
  options.set_usage_name("update.exe");
}

/// Parses `arguments` behind the program name "update.exe", as a process's vector would hold them.
inline bool Parse(cmdline::parser& options, const std::vector<std::string>& arguments) {
  std::vector<const char*> vector{"update.exe"};
  for (const std::string& argument : arguments) vector.push_back(argument.c_str());
  vector.push_back(nullptr);
  return options.parse_arguments(static_cast<int>(vector.size() - 1), vector.data());
}

using Messages = std::vector<std::string>;

/// Reads text unchanged, except "bad", which it refuses with "cannot read bad".
struct RefusingReader {
  std::string operator()(const std::string& text) const {
    if (text == "bad") throw std::invalid_argument("cannot read " + text);
    return text;
  }
};

}  // namespace cmdline_testing
