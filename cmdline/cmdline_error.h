// The parser's exception: misuse by the program, never a fault in the user's arguments.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace cmdline {

/// Thrown for a duplicate registration, a query of an unregistered name or a
/// query of the wrong kind; the user's argument faults are recorded instead.
class cmdline_error : public std::exception {
 public:
  explicit cmdline_error(std::string text) : message(std::move(text)) {}

  /// The message exactly as it was built at the throw.
  const char* what() const noexcept override { return message.c_str(); }

 private:
  std::string message;
};

}  // namespace cmdline
