// Writes the seed archives of fuzz_zip into the directory given as argument:
// the fuzzer would take long to find the archive records from nothing.
#include <exception>
#include <iostream>
#include <string>

#include "tests/zip/archive_builder.h"

using namespace zip_testing;

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: zip_seeds DIRECTORY\n";
    return 2;
  }
  const std::string directory = argv[1];
  EntryRecipe stored = File("stored.txt", "stored text");
  stored.method = kStored;
  EntryRecipe folder = File("dir/", "");
  folder.method = kStored;
  EntryRecipe zip64 = File("zip64.bin", std::string(300, 'z'));
  zip64.zip64 = true;
  EntryRecipe unix = File("bin/app", "#!/bin/sh\n");
  unix.versionMadeBy = kMadeOnUnix;
  unix.externalAttributes = kExecutableFileAttributes;
  try {
    WriteArchive(directory + "/empty.zip", {});
    WriteArchive(directory + "/mixed.zip", {folder, stored, File("dir/deflated.txt", "deflated text text text")});
    WriteArchive(directory + "/zip64.zip", {zip64, unix});
    WriteArchive(directory + "/duplicates.zip", {File("same", "one"), File("same", "two")});
  } catch (const std::exception& error) {
    std::cerr << "zip_seeds: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
