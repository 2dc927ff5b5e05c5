#pragma once

// Starting another program, as the Windows shell's "open" verb on an
// executable did: one program, one parameter, no command interpreter in
// between (so nothing in the parameter is ever interpreted).

#include <string>

#include "platform/scoped_install.h"

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;

  // Starts `program` with `parameter` as its only argument and does not wait
  // for it. True when the program was started.
  virtual bool Open(const std::string& program, const std::string& parameter) = 0;
};

// Starts programs with posix_spawn; the finished child is reaped in the
// background so that no zombie process stays behind.
class SpawnShell : public Shell {
 public:
  bool Open(const std::string& program, const std::string& parameter) override;
};

// The shell in force: the innermost ScopedShell, else a SpawnShell.
Shell& CurrentShell();

// Installs a shell as CurrentShell() for its lifetime; scopes nest.
using ScopedShell = ScopedInstall<Shell>;

}  // namespace platform
