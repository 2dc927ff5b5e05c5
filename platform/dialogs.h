#pragma once

// Every dialog the engines and handlers show goes through this interface, so
// nothing below the windows calls the GUI toolkit directly. The application
// installs its Qt implementation at start-up; tests install
// testing::ScriptedDialogs, which answers from a queue and records every
// request.

#include <string>

#include "platform/scoped_install.h"

namespace platform {

enum class MessageIcon {
  kNone,
  kInformation,
  kWarning,  // the exclamation icon
  kError,
  kQuestion,
};

enum class MessageButtons {
  kOk,
  kOkCancel,
  kYesNo,
  kYesNoCancel,
};

// The button that closed a message box. Closing a box without a Cancel
// button by its close box answers Ok (or No for Yes/No).
enum class MessageResult {
  kOk,
  kCancel,
  kYes,
  kNo,
};

struct MessageBoxRequest {
  const void* owner = nullptr;  // the owner window as an opaque handle; nullptr = none
  std::string title;
  std::string text;  // a line break inside the text is "\r" or "\n"
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
};

// The state of an open-file or save-file dialog; the dialog reads and
// updates it. It outlives the dialog: the chosen name and filter stay.
struct FileDialogState {
  // Entries "description|pattern" joined by "|", e.g.
  // "Nutaro 4.x (*.mdb)|*.mdb|Nutaro 5.x alpha (*.ntd)|*.ntd".
  std::string filter;
  int filterIndex = 1;        // 1-based; in: preselected, out: the chosen entry
  std::string fileName;       // in: preset; out: the chosen full path
  bool overwritePrompt = false;  // save dialogs: ask before replacing a file
  std::string title;          // empty = the toolkit's default caption
};

// The database login prompt ("Database Login"): shows `database`, presets the
// user name; on OK all three texts hold what the user typed.
struct LoginRequest {
  std::string database;
  std::string userName;
  std::string password;
  std::string databasePassword;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows a modal message box and returns the button that closed it.
  virtual MessageResult ShowMessageBox(const MessageBoxRequest& request) = 0;

  // Modal open-file / save-file dialogs. True when the user accepted; then
  // `state.fileName` and `state.filterIndex` hold the choice. On cancel the
  // state is left as it was.
  virtual bool OpenFile(FileDialogState& state) = 0;
  virtual bool SaveFile(FileDialogState& state) = 0;

  // The table-file password prompt ("Passwort:"), preset with `password`
  // fully selected. True and the typed text on OK; false leaves `password`.
  virtual bool AskPassword(std::string& password) = 0;

  // The database login prompt. True on OK with the typed texts in `login`;
  // false leaves `login` as it was.
  virtual bool AskLogin(LoginRequest& login) = 0;
};

// Shows a message box through CurrentDialogs(): a convenience for the common
// single-button case.
MessageResult ShowMessage(const void* owner, const std::string& title, const std::string& text,
                          MessageIcon icon, MessageButtons buttons = MessageButtons::kOk);

// The dialogs in force: the innermost ScopedDialogs, else a headless
// fallback that writes message boxes to standard error, answers them with
// their most cautious button (Ok, Cancel, No) and cancels every other dialog.
Dialogs& CurrentDialogs();

// Installs dialogs as CurrentDialogs() for their lifetime; scopes nest.
using ScopedDialogs = ScopedInstall<Dialogs>;

}  // namespace platform
