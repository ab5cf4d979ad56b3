// How a value option turns its argument text into a value, and the value type's readable name.
#pragma once

#include <string>

namespace cmdline {

/// The readable name of a value type, shown in synopses and help texts.
/// Only types that name themselves here can be registered.
template <class T>
const char* value_type_name() {
  static_assert(sizeof(T) == 0, "value_type_name has no name for this value type");
  return "";
}

template <>
inline const char* value_type_name<std::string>() {
  return "string";
}

/// The reader used when none is given at registration.
template <class T>
struct default_reader;

/// Text is taken as it is: every argument, the empty one included, is accepted.
template <>
struct default_reader<std::string> {
  std::string operator()(const std::string& text) const { return text; }
};

}  // namespace cmdline
