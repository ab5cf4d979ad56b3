// The driver's installation of one directory of new files into the application's directory.
#include "UpGrade/directory_move.h"

#include "install/install.h"

bool MoveDirectoryInto(const std::string& fromDir, const std::string& intoDir, void* ownerWindow) {
  return PlaceFolder(fromDir, intoDir, ownerWindow);
}
