// Time bounds that tests may shorten.
#include "util/test_bound.h"

#include <cerrno>
#include <cstdlib>
#include <string>

unsigned BoundForTests(const char* name, unsigned boundMs) {
  const std::string variable = std::string("UPDATE_TEST_BOUND_") + name + "_MS";
  const char* text = std::getenv(variable.c_str());
  if (text == nullptr || *text < '0' || *text > '9') return boundMs;
  char* end = nullptr;
  errno = 0;
  const unsigned long shorter = std::strtoul(text, &end, 10);
  return errno == 0 && *end == '\0' && shorter < boundMs ? static_cast<unsigned>(shorter) : boundMs;
}
