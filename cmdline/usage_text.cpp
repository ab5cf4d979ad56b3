// The usage text: required synopses on the first line, then one line per option.
#include <algorithm>

#include "cmdline/parser.h"

namespace cmdline {

std::string parser::usage_text() const {
  std::string text = "usage: " + usage_name + " ";
  for (const option_base* option : options_in_order) {
    if (option->is_required()) text += option->get_synopsis() + " ";
  }
  text += "[options] ... " + usage_footer + "\n";
  text += "options:\n";

  // Help texts start in one column, at least four blanks after the longest name.
  std::size_t width = 0;
  for (const option_base* option : options_in_order) {
    width = std::max(width, option->get_long_name().size());
  }
  width += 4;

  for (const option_base* option : options_in_order) {
    const char letter = option->get_short_letter();
    if (letter != '\0') {
      text += std::string("  -") + letter + ", ";
    } else {
      text += "      ";  // as wide as "  -x, ", so the long names line up
    }
    const std::string& long_name = option->get_long_name();
    text += "--" + long_name + std::string(width - long_name.size(), ' ');
    text += option->get_help_text() + "\n";
  }
  return text;
}

}  // namespace cmdline
