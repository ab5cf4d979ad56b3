// Windows backend of platform/open_files.h: handles are counted in millions
// per process, far beyond any tree a path of 32,767 characters can name.
#include "platform/open_files.h"

#include <climits>

platform::OpenFilesRaised::OpenFilesRaised() = default;
platform::OpenFilesRaised::~OpenFilesRaised() = default;

int platform::OpenFilesRaised::allowed() const { return INT_MAX; }
