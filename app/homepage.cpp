#include "app/homepage.h"

#include "platform/registry.h"
#include "platform/shell.h"

namespace app {

std::string BrowserProgram(std::string_view registeredCommand) {
  const std::size_t open = registeredCommand.find('"');
  // Without a quote nothing is dropped, and the search for the closing quote
  // below then starts at the beginning.
  const std::string_view rest =
      open == std::string_view::npos ? registeredCommand : registeredCommand.substr(open + 1);
  const std::size_t close = rest.find('"');
  if (close == std::string_view::npos) return {};
  return std::string(rest.substr(0, close));
}

void OpenInBrowser(const std::string& address) {
  const std::optional<std::string> command = platform::CurrentRegistry().ReadString(
      platform::RootKey::kClassesRoot, platform::kBrowserCommandKey, "");
  if (!command || command->empty()) return;
  const std::string program = BrowserProgram(*command);
  if (program.empty()) return;
  // A browser that cannot be started is not reported: the command is a
  // convenience, and there is nothing the user could do about it here.
  platform::CurrentShell().Open(program, address);
}

}  // namespace app
