// The command-line parser: option registry, argument walk, usage text.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cmdline/cmdline_error.h"
#include "cmdline/value_reading.h"

namespace cmdline {

/// Keeps a parameter out of template argument deduction, so that a default
/// written as "" is read as a value of the option's type.
template <class T>
struct same_type {
  using type = T;
};
template <class T>
using same_type_t = typename same_type<T>::type;

/// Registry of options, filled from an argument vector. Faults in the user's
/// arguments are recorded as messages; misuse by the program throws cmdline_error.
class parser {
 public:
  class option_base;
  class option_without_value;
  template <class T>
  class option_with_value;
  template <class T, class Reader>
  class option_with_value_with_reader;

  parser();
  ~parser();
  parser(const parser&) = delete;
  parser& operator=(const parser&) = delete;

  /// Registers a value option read by default_reader<T>; throws cmdline_error
  /// "multiple definition: " + name when the long name is taken.
  template <class T = std::string>
  void register_value_option(const std::string& long_name, char short_letter, const std::string& description,
                             bool required, const same_type_t<T>& default_value) {
    register_value_option<T>(long_name, short_letter, description, required, default_value, default_reader<T>());
  }

  /// Registers a value option whose text is converted by `reader`; throws as above.
  template <class T = std::string, class Reader>
  void register_value_option(const std::string& long_name, char short_letter, const std::string& description,
                             bool required, const same_type_t<T>& default_value, Reader reader) {
    refuse_taken_name(long_name);
    adopt(std::make_unique<option_with_value_with_reader<T, Reader>>(long_name, short_letter, description, required,
                                                                     default_value, std::move(reader)));
  }

  /// Registers an option without a value; throws as above.
  void register_flag(const std::string& long_name, char short_letter, const std::string& description);

  /// The program name shown after "usage: ".
  void set_usage_name(const std::string& name);
  /// The text shown after "[options] ... " on the first usage line.
  void set_usage_footer(const std::string& footer);

  /// Whether the option was given; throws cmdline_error "there is no flag: --" + name
  /// for a name that was never registered.
  bool option_given(const std::string& long_name) const;

  /// The option's current value, valid while the parser lives; throws cmdline_error
  /// "there is no flag: --" + name, or "type mismatch flag '" + name + "'" when the
  /// option holds no value of type T.
  template <class T = std::string>
  const T& value_of(const std::string& long_name) const {
    const auto* option = dynamic_cast<const option_with_value<T>*>(&registered(long_name));
    if (option == nullptr) throw cmdline_error("type mismatch flag '" + long_name + "'");
    return option->get_current_value();
  }

  /// Walks `vector[1]` to `vector[count - 1]` and applies every option found; true
  /// when no message was recorded. Values and given marks of an earlier call stay.
  bool parse_arguments(int count, const char* const* vector);

  /// Gives `text` to the named option; records a message when that fails.
  void apply_value(const std::string& long_name, const std::string& text);
  /// Marks the named option as given without a value; records a message when that fails.
  void apply_flag(const std::string& long_name);

  /// The first message of the last parse; empty when there is none.
  std::string first_error() const;
  /// Every message of the last parse, in the order they were recorded.
  const std::vector<std::string>& recorded_errors() const { return error_messages; }
  /// The arguments of the last parse that were neither options nor values.
  const std::vector<std::string>& positional_arguments() const { return positional_args; }

  /// The usage text: required synopses, then one line per option in registration order.
  std::string usage_text() const;

 private:
  using letter_table = std::map<char, std::string>;

  void refuse_taken_name(const std::string& long_name) const;
  void adopt(std::unique_ptr<option_base> option);
  const option_base& registered(const std::string& long_name) const;
  option_base* find(const std::string& long_name) const;
  void record(std::string message);

  /// Handles one "--" argument; returns how many following arguments it consumed.
  int walk_long_option(const std::string& argument, const char* next);
  /// Handles one "-" cluster; returns how many following arguments it consumed.
  int walk_short_cluster(const std::string& argument, const char* next, const letter_table& letters);

  // std::string compares bytes as unsigned values with a proper prefix first;
  // this order decides the order of the "need option" messages.
  std::map<std::string, std::unique_ptr<option_base>> options_by_name;
  std::vector<option_base*> options_in_order;  // registration order; not owners
  std::string usage_footer;
  std::string usage_name;
  std::vector<std::string> positional_args;
  std::vector<std::string> error_messages;
};

}  // namespace cmdline

// The records are nested in parser, so their definitions follow it; the
// template members above need them complete only where they are used.
#include "cmdline/option_records.h"
