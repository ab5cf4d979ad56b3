// POSIX backend of platform/shell.h.
#include "platform/shell.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>

#include "platform/posix/spawn_handles.h"

extern char** environ;

namespace {

// The updater's environment without the variables of those names, then the variables.
std::vector<std::string> Environment(const std::vector<platform::EnvironmentVariable>& variables) {
  std::vector<std::string> settings;
  for (char** setting = environ; *setting != nullptr; ++setting) {
    bool replaced = false;
    for (const platform::EnvironmentVariable& variable : variables) {
      replaced = replaced || std::strncmp(*setting, (variable.name + "=").c_str(), variable.name.size() + 1) == 0;
    }
    if (!replaced) settings.emplace_back(*setting);
  }
  for (const platform::EnvironmentVariable& variable : variables) {
    settings.push_back(variable.name + "=" + variable.value);
  }
  return settings;
}

}  // namespace

void platform::OpenWithShell(const std::string& path, const std::vector<EnvironmentVariable>& variables) {
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
    std::vector<std::string> settings = Environment(variables);
    std::vector<char*> envp;
    for (std::string& setting : settings) envp.push_back(setting.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    error = posix_spawn(&child, path.c_str(), actions.get(), attributes.get(), argv, envp.data());
  }
  // Set after the owners above are gone: their clean-up may touch errno.
  errno = error;
}
