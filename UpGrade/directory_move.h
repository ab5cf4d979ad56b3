// The driver's installation of one directory of new files into the application's directory.
#pragma once

#include <string>

/// Moves the directory `fromDir`, with all it holds, into the directory
/// `intoDir`, where it keeps its name, without any dialog; a directory of
/// that name already there is merged, its files of the same name replaced
/// and its other files kept. `ownerWindow` is the shell's owner window
/// (HWND) or null. False when a path is empty or does not fit the shell
/// (over 518 bytes), when `fromDir` is not an existing directory, when the
/// system refuses the move, or when part of the tree could not be moved;
/// what was moved stays moved.
bool MoveDirectoryInto(const std::string& fromDir, const std::string& intoDir, void* ownerWindow);
