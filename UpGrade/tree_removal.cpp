// Whether anything stands at a path of the installation, and removing it.
#include "UpGrade/tree_removal.h"

#include <cstdio>
#include <exception>

#include <dlib/dir_nav.h>

#include "platform/directory_move.h"
#include "platform/entry_type.h"

bool StandsAt(const std::string& path) { return platform::EntryTypeOf(path) != platform::EntryType::kMissing; }

bool RemoveTree(const std::string& path) {
  switch (platform::EntryTypeOf(path)) {
    case platform::EntryType::kMissing:
      return true;
    case platform::EntryType::kLink:
      return platform::RemoveLink(path);
    case platform::EntryType::kFile:
      return std::remove(path.c_str()) == 0;
    case platform::EntryType::kDirectory:
      break;
  }
  try {
    const dlib::directory folder(path);
    for (const dlib::file& file : folder.get_files()) RemoveTree(file.full_name());
    for (const dlib::directory& sub : folder.get_dirs()) RemoveTree(sub.full_name());
  } catch (const std::exception&) {
    return false;
  }
  return platform::RemoveEmptyDirectory(path);
}
