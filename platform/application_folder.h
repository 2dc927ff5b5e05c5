#pragma once

// The folder the running program file lies in, where the program looks for
// files it was given without a usable folder.

#include <string>

namespace platform {

// The folder of the running executable with a trailing "/"; the current
// folder (with "/") when the executable's path cannot be read.
std::string ApplicationFolder();

}  // namespace platform
