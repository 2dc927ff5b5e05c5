#include "platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>


extern char** environ;

namespace platform {

bool SpawnShell::Open(const std::string& program, const std::string& parameter) {
  if (program.empty()) return false;
  std::string programCopy = program;
  std::string parameterCopy = parameter;
  char* argv[] = {programCopy.data(), parameterCopy.data(), nullptr};
  pid_t child = 0;
  // posix_spawn reports a program that cannot be executed as its result.
  if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  // Not waited for by the caller; a detached waiter reaps the child when it ends.
  std::thread([child] { waitpid(child, nullptr, 0); }).detach();
  return true;
}

Shell& CurrentShell() {
  static SpawnShell spawnShell;
  return detail::InstalledOr<Shell>(spawnShell);
}

}  // namespace platform
