// The argument walk: options applied left to right, faults recorded as messages.
#include "cmdline/parser.h"

namespace cmdline {

bool parser::parse_arguments(int count, const char* const* vector) {
  error_messages.clear();
  positional_args.clear();
  if (count < 1) {
    record("argument number must be longer than 0");
    return false;
  }
  if (usage_name.empty()) usage_name = vector[0];

  // A letter shared by two options could mean either: refuse to guess, and
  // look at no argument at all.
  letter_table letters;
  for (const auto& [long_name, option] : options_by_name) {
    const char letter = option->get_short_letter();
    if (long_name.empty() || letter == '\0') continue;
    if (!letters.emplace(letter, long_name).second) {
      record(std::string("short option '") + letter + "' is ambiguous");
      return false;
    }
  }

  for (int i = 1; i < count; ++i) {
    const std::string argument = vector[i];
    const char* next = i + 1 < count ? vector[i + 1] : nullptr;
    if (argument.compare(0, 2, "--") == 0) {
      i += walk_long_option(argument, next);
    } else if (!argument.empty() && argument[0] == '-') {
      i += walk_short_cluster(argument, next, letters);
    } else {
      positional_args.push_back(argument);
    }
  }

  for (const auto& [long_name, option] : options_by_name) {
    if (!option->is_satisfied()) record("need option: --" + long_name);
  }
  return error_messages.empty();
}

int parser::walk_long_option(const std::string& argument, const char* next) {
  // Only the first "=" splits: "--name=a=b" gives the value "a=b". The
  // option's kind is not asked first, so a flag given a value is refused.
  const std::size_t equals = argument.find('=', 2);
  if (equals != std::string::npos) {
    apply_value(argument.substr(2, equals - 2), argument.substr(equals + 1));
    return 0;
  }
  const std::string long_name = argument.substr(2);
  const option_base* option = find(long_name);
  if (option == nullptr) {
    record("undefined option: --" + long_name);
    return 0;
  }
  if (!option->takes_value()) {
    apply_flag(long_name);
    return 0;
  }
  if (next == nullptr) {
    record("option needs value: --" + long_name);
    return 0;
  }
  // The next argument is the value whatever it looks like, "--other" included.
  apply_value(long_name, next);
  return 1;
}

int parser::walk_short_cluster(const std::string& argument, const char* next, const letter_table& letters) {
  if (argument.size() == 1) return 0;  // a lone "-" means nothing
  // A value never comes from the rest of the cluster: "-efoo" is four letters,
  // and only the last one may take the next argument as its value.
  const std::size_t last = argument.size() - 1;
  for (std::size_t at = 1; at <= last; ++at) {
    const char letter = argument[at];
    const auto found = letters.find(letter);
    if (found == letters.end()) {
      record(std::string("undefined short option: -") + letter);
      continue;
    }
    const std::string& long_name = found->second;
    if (at == last && next != nullptr && find(long_name)->takes_value()) {
      apply_value(long_name, next);
      return 1;
    }
    apply_flag(long_name);
  }
  return 0;
}

void parser::apply_value(const std::string& long_name, const std::string& text) {
  option_base* option = find(long_name);
  if (option == nullptr) {
    record("undefined option: --" + long_name);
    return;
  }
  if (!option->accept_text(text)) {
    record("option value is invalid: --" + long_name + "=" + text);
  }
}

void parser::apply_flag(const std::string& long_name) {
  option_base* option = find(long_name);
  if (option == nullptr) {
    record("undefined option: --" + long_name);
    return;
  }
  if (!option->accept_flag()) record("option needs value: --" + long_name);
}

}  // namespace cmdline
