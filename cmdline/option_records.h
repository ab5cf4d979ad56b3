// The parser's option records: a flag, and a value option converted by its reader.
#pragma once

#include <exception>
#include <sstream>
#include <string>
#include <utility>

#include "cmdline/parser.h"
#include "cmdline/value_reading.h"

namespace cmdline {

/// Writes "e:" and the reader's message to standard output, with no line end.
void report_reader_failure(const std::exception& failure);

/// One registered option, as the argument walk and the usage text see it.
/// The order of the operations is the order of the virtual slots.
class parser::option_base {
 public:
  option_base() = default;
  virtual ~option_base() = default;
  option_base(const option_base&) = delete;
  option_base& operator=(const option_base&) = delete;

  /// Whether the option needs a value text.
  virtual bool takes_value() const = 0;
  /// Takes a value text; false, with nothing changed, when the option refuses it.
  virtual bool accept_text(const std::string& text) = 0;
  /// Marks the option given; false, with nothing changed, when it needs a value.
  virtual bool accept_flag() = 0;
  /// Whether a value or the flag was accepted.
  virtual bool was_given() const = 0;
  /// False only for a required option that was not given.
  virtual bool is_satisfied() const = 0;
  /// Whether the option must be given.
  virtual bool is_required() const = 0;
  /// The name used after "--".
  virtual const std::string& get_long_name() const = 0;
  /// The letter used after "-"; the zero byte means none.
  virtual char get_short_letter() const = 0;
  /// The description shown in the usage text.
  virtual const std::string& get_help_text() const = 0;
  /// "--" and the long name, then "=" and the value type's name if it takes a value.
  virtual std::string get_synopsis() const = 0;
};

/// A flag: given or not, never with a value; its help text is the description.
class parser::option_without_value final : public parser::option_base {
 public:
  option_without_value(std::string name, char letter, std::string description);

  bool takes_value() const override;
  bool accept_text(const std::string& text) override;
  bool accept_flag() override;
  bool was_given() const override;
  bool is_satisfied() const override;
  bool is_required() const override;
  const std::string& get_long_name() const override;
  char get_short_letter() const override;
  const std::string& get_help_text() const override;
  std::string get_synopsis() const override;

 private:
  std::string long_name;
  char short_letter;
  std::string help_text;
  bool given = false;
};

/// An option that takes a value of type T; `convert` turns the text into it.
template <class T>
class parser::option_with_value : public parser::option_base {
 public:
  option_with_value(std::string name, char letter, const std::string& description, bool is_required_option,
                    const T& default_option_value)
      : long_name(std::move(name)),
        short_letter(letter),
        required(is_required_option),
        default_value(default_option_value),
        current_value(default_option_value) {
    help_text = compose_help_text(description);
  }

  bool takes_value() const override { return true; }

  bool accept_text(const std::string& text) override {
    try {
      current_value = convert(text);
    } catch (const std::exception& failure) {
      report_reader_failure(failure);
      return false;
    }
    given = true;
    return true;
  }

  bool accept_flag() override { return false; }
  bool was_given() const override { return given; }
  bool is_satisfied() const override { return !required || given; }
  bool is_required() const override { return required; }
  const std::string& get_long_name() const override { return long_name; }
  char get_short_letter() const override { return short_letter; }
  const std::string& get_help_text() const override { return help_text; }
  std::string get_synopsis() const override { return "--" + long_name + "=" + value_type_name<T>(); }

  /// The last accepted value, or the default while none was accepted.
  const T& get_current_value() const { return current_value; }

 protected:
  /// The value for `text`; throws an exception derived from std::exception to refuse it.
  virtual T convert(const std::string& text) = 0;

 private:
  // "description (type)" for a required option, "description (type [=default])" otherwise.
  std::string compose_help_text(const std::string& description) const {
    std::ostringstream text;
    text << description << " (" << value_type_name<T>();
    if (!required) text << " [=" << default_value << "]";
    text << ")";
    return text.str();
  }

  std::string long_name;
  char short_letter;
  bool required;
  std::string help_text;
  bool given = false;
  T default_value;
  T current_value;
};

/// A value option whose conversion is the `Reader` object, a stateless function of the text.
template <class T, class Reader>
class parser::option_with_value_with_reader final : public parser::option_with_value<T> {
 public:
  option_with_value_with_reader(std::string name, char letter, const std::string& description, bool is_required_option,
                                const T& default_option_value, Reader value_reader)
      : option_with_value<T>(std::move(name), letter, description, is_required_option, default_option_value),
        reader(std::move(value_reader)) {}

 protected:
  T convert(const std::string& text) override { return reader(text); }

 private:
  Reader reader;
};

}  // namespace cmdline
