// The parser's registry: registration, queries and the recorded messages.
#include "cmdline/parser.h"

namespace cmdline {

parser::parser() = default;

parser::~parser() = default;

void parser::register_flag(const std::string& long_name, char short_letter, const std::string& description) {
  refuse_taken_name(long_name);
  adopt(std::make_unique<option_without_value>(long_name, short_letter, description));
}

void parser::set_usage_name(const std::string& name) { usage_name = name; }

void parser::set_usage_footer(const std::string& footer) { usage_footer = footer; }

bool parser::option_given(const std::string& long_name) const { return registered(long_name).was_given(); }

std::string parser::first_error() const { return error_messages.empty() ? std::string() : error_messages.front(); }

void parser::refuse_taken_name(const std::string& long_name) const {
  if (options_by_name.count(long_name) != 0) {
    throw cmdline_error("multiple definition: " + long_name);
  }
}

void parser::adopt(std::unique_ptr<option_base> option) {
  // Room in the list first: once the map owns the record, nothing may throw,
  // or the record would be registered but missing from the usage text.
  options_in_order.reserve(options_in_order.size() + 1);
  option_base* record_in_order = option.get();
  const std::string long_name = option->get_long_name();
  options_by_name.emplace(long_name, std::move(option));
  options_in_order.push_back(record_in_order);
}

const parser::option_base& parser::registered(const std::string& long_name) const {
  const option_base* option = find(long_name);
  if (option == nullptr) throw cmdline_error("there is no flag: --" + long_name);
  return *option;
}

parser::option_base* parser::find(const std::string& long_name) const {
  const auto found = options_by_name.find(long_name);
  return found == options_by_name.end() ? nullptr : found->second.get();
}

void parser::record(std::string message) { error_messages.push_back(std::move(message)); }

}  // namespace cmdline
