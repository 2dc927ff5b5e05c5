#pragma once

class QApplication;

namespace app {

// Gives the application its title "Nutaro - Konverter 2.60", its icon and
// German texts for the toolkit's own dialogs (when Qt's translation is
// installed).
void InitialiseApplication(QApplication& application);

// The whole program: initialises the application, installs the Qt dialogs,
// creates the windows, shows the main window, takes a file named as the
// first argument as the chosen source (".mdb") or target (".ntd"), and runs
// until the window is closed. Returns the exit code.
int RunKonverter(int argc, char** argv);

}  // namespace app
