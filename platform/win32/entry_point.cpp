// Windows backend of platform/entry_point.h: wmain (linked with -municode)
// gets the command line in UTF-16, split by the C runtime's rules, which
// differ from CommandLineToArgvW's in quotes and backslashes; main would get
// it in the ANSI code page, with every character outside it lost as "?".
#include "platform/entry_point.h"

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) arguments.push_back(platform::Utf8Text(argv[i]));
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return ProgramMain(argc, pointers.data());
}
