// POSIX backend of platform/shell.h.
#include "platform/shell.h"

#include <cerrno>

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>

#include "platform/posix/spawn_handles.h"

extern char** environ;

void platform::OpenWithShell(const std::string& path) {
  // A session of its own and no inherited streams: the application outlives
  // the updater and never writes into whatever captured the updater's output.
  int error = 0;
  {
    SpawnActions actions;
    for (int fd = 0; fd <= 2; ++fd) {
      posix_spawn_file_actions_addopen(actions.get(), fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    // Every descriptor of the updater is opened close-on-exec; this closes
    // what a library may have opened otherwise, so the application starts
    // with its standard streams only.
    posix_spawn_file_actions_addclosefrom_np(actions.get(), /*from=*/3);
    SpawnAttributes attributes;
    posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSID);
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    error = posix_spawn(&child, path.c_str(), actions.get(), attributes.get(), argv, environ);
  }
  // Set after the owners above are gone: their clean-up may touch errno.
  errno = error;
}
