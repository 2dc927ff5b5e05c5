#pragma once
// The password prompt of the command line: asks on the terminal without
// echoing what is typed.

#include <string>

namespace tools {

// False (and `password` unchanged) when standard input is not a terminal or
// nothing could be read.
bool AskPasswordOnTerminal(std::string& password);

}  // namespace tools
