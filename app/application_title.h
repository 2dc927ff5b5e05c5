#pragma once

namespace app {

// The application's title: the main window's caption, the task-bar entry and
// the caption of the error box for errors no handler catches.
inline constexpr char kApplicationTitle[] = "Nutaro - Konverter 2.60";

}  // namespace app
