// Path text: a settable base directory, relative and absolute forms, names and
// parents, and single-file tests and copies. Listings: file_listing.h.
//
// The rules work on bytes with Windows separators on every system ("\" and,
// where said, "/"; a colon anywhere marks an absolute path), so a path written
// for Windows gives the same answer everywhere.
#pragma once

#include <string>

/// Makes `path` the base directory, with "\" appended unless it is empty or already ends with one.
void SetPathBase(const std::string& path);

/// The base directory; empty until SetPathBase is called.
std::string GetPathBase();

/// `path` relative to the base directory as ".\rest" (".\" for the base itself).
/// A relative path gets ".\" put in front unless it starts with ".\" or "..\";
/// an absolute path (a colon, or a leading "\\") outside the base, or any
/// absolute path while no base is set, is returned unchanged.
std::string MakeRelativePath(const std::string& path);

/// `path` joined to the base directory after dropping a leading ".\" or "\".
/// A path with a colon, a leading "\\" or a trailing "\" is returned unchanged;
/// ".." is not resolved.
std::string MakeAbsolutePath(const std::string& path);

/// `path` without one trailing "\" or "/".
std::string StripTrailingSeparator(const std::string& path);

/// Turns every "\" in `path` into "/", then appends "/" when `addTrailing` and
/// it does not end with one; an empty path stays empty.
void ToForwardSlashes(std::string& path, bool addTrailing);

/// What follows the last "\" or "/" once one trailing separator is dropped;
/// the whole path when it has none.
std::string FileNameOf(const std::string& path);

/// What precedes the last "\" or "/" once one trailing separator is dropped;
/// empty when it has none.
std::string ParentDirectoryOf(const std::string& path);

/// The part of `path` before its last "\" (or, with none, its last "/"); empty
/// when it has neither or when the file cannot be opened for reading.
std::string DirectoryOfExistingFile(const std::string& path);

/// True when `dirPath` names an existing directory; false for a file or a
/// missing path. The clearing's test under its own name: the same answer as
/// platform::IsExistingDirectory.
bool IsDirectory(const std::string& dirPath);

/// True when the file opens for reading in shared mode. It opens the file,
/// unlike FileExists: a file that is there but cannot be read answers false.
bool CanOpenForReading(const char* path);

/// True exactly for "." and "..".
bool IsDotEntry(const char* name);

/// Copies `filePath` to `intoDir` followed directly by its file name (no
/// separator is put between: `intoDir` should end with one), replacing a file
/// there. False when either is empty, the file cannot be read or the copy fails.
bool CopyFileInto(const std::string& filePath, const std::string& intoDir);
