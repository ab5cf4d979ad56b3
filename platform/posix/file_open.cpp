// POSIX backend of platform/file_open.h: the C library takes the path's bytes.
#include "platform/file_open.h"

#include <fstream>
#include <iterator>

// "e" opens with O_CLOEXEC: the application the updater starts again must
// not inherit its journal or probe.
std::FILE* platform::OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), (std::string(mode) + "e").c_str());
}

std::string platform::ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool platform::RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }
