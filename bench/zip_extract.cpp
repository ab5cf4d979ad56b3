// Extracts an archive with ZipReader::extractAll, as the update run does, so
// that scripts can time it against other tools.
#include <exception>
#include <iostream>

#include "zip/zip_reader.h"

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::cerr << "usage: zip_extract ARCHIVE DESTINATION\n";
    return 2;
  }
  try {
    ZipReader reader(argv[1], "");
    return reader.extractAll(argv[2]) ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "zip_extract: " << error.what() << "\n";
    return 1;
  }
}
