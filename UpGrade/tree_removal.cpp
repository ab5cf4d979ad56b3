// Removing a file or a whole folder of the installation.
#include "UpGrade/tree_removal.h"

#include <cstdio>
#include <exception>

#include <dlib/dir_nav.h>

#include "platform/directory_move.h"
#include "platform/file_system.h"
#include "platform/path_exists.h"

bool RemoveTree(const std::string& path) {
  if (!platform::PathExists(path)) return true;
  if (platform::IsLink(path) || !platform::IsExistingDirectory(path)) {
    // A link to a folder is removed as a folder on Windows, as a file on Linux.
    return std::remove(path.c_str()) == 0 || platform::RemoveEmptyDirectory(path);
  }
  try {
    const dlib::directory folder(path);
    for (const dlib::file& file : folder.get_files()) std::remove(file.full_name().c_str());
    for (const dlib::directory& sub : folder.get_dirs()) RemoveTree(sub.full_name());
  } catch (const std::exception&) {
    return false;
  }
  return platform::RemoveEmptyDirectory(path);
}
