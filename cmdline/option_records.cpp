// The flag record and the reader-failure line of value options.
#include <cstdio>

#include "cmdline/parser.h"

namespace cmdline {

void report_reader_failure(const std::exception& failure) { std::printf("e:%s", failure.what()); }

parser::option_without_value::option_without_value(std::string name, char letter, std::string description)
    : long_name(std::move(name)), short_letter(letter), help_text(std::move(description)) {}

bool parser::option_without_value::takes_value() const { return false; }

bool parser::option_without_value::accept_text(const std::string& /*text*/) { return false; }

bool parser::option_without_value::accept_flag() {
  given = true;
  return true;
}

bool parser::option_without_value::was_given() const { return given; }

bool parser::option_without_value::is_satisfied() const { return true; }

bool parser::option_without_value::is_required() const { return false; }

const std::string& parser::option_without_value::get_long_name() const { return long_name; }

char parser::option_without_value::get_short_letter() const { return short_letter; }

const std::string& parser::option_without_value::get_help_text() const { return help_text; }

std::string parser::option_without_value::get_synopsis() const { return "--" + long_name; }

}  // namespace cmdline
