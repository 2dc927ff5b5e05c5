#pragma once
// The exit statuses of `nutaro`, the same for every command, so that
// scripts can tell a failed run from a misused one.

namespace tools {

inline constexpr int kExitDone = 0;          // the command did its work
inline constexpr int kExitFailed = 1;        // a file could not be read or made; the reason is on standard error
inline constexpr int kExitBadArguments = 2;  // the arguments were wrong; the usage is on standard error

}  // namespace tools
