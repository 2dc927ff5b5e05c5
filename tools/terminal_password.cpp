#include "tools/terminal_password.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace tools {

bool AskPasswordOnTerminal(std::string& password) {
  if (isatty(STDIN_FILENO) == 0) return false;
  std::cerr << "Passwort: " << std::flush;
  termios saved{};
  const bool canHide = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (canHide) {
    termios hidden = saved;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &hidden);
  }
  std::string typed;
  const bool read = static_cast<bool>(std::getline(std::cin, typed));
  if (canHide) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  std::cerr << '\n';
  if (!read) return false;
  password = typed;
  return true;
}

}  // namespace tools
