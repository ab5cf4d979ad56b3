// POSIX backend of platform/file_open.h: the C library takes the path's bytes.
#include "platform/file_open.h"

#include <fstream>
#include <iterator>

std::FILE* platform::OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::string platform::ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool platform::RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }
