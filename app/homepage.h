#pragma once

#include <string>
#include <string_view>

namespace app {

// The product's homepage, opened by the menu command "&Nutaro - Homepage".
inline constexpr char kHomepageAddress[] = "http://www.nutaro.de/";

// The program named by a registered browser command: the text between its
// first and second double quote. Empty when the command has fewer than two
// double quotes, so an unquoted path names no program.
std::string BrowserProgram(std::string_view registeredCommand);

// Starts the browser registered for HTML files with `address` as its only
// parameter; the registered command's own options are not passed. When no
// browser is registered, none can be named or it cannot be started, nothing
// happens and nothing is reported.
void OpenInBrowser(const std::string& address);

}  // namespace app
