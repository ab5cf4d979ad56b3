// POSIX backend of platform/open_files.h: the soft RLIMIT_NOFILE, which
// shells leave at 1,024, raised to the hard one.
#include "platform/open_files.h"

#include <climits>

#include <sys/resource.h>

platform::OpenFilesRaised::OpenFilesRaised() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
  saved_ = limit.rlim_cur;
  limit.rlim_cur = limit.rlim_max;
  raised_ = setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

platform::OpenFilesRaised::~OpenFilesRaised() {
  rlimit limit{};
  if (!raised_ || getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  limit.rlim_cur = static_cast<rlim_t>(saved_);
  setrlimit(RLIMIT_NOFILE, &limit);
}

int platform::OpenFilesRaised::allowed() const {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  return limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > INT_MAX ? INT_MAX : static_cast<int>(limit.rlim_cur);
}
