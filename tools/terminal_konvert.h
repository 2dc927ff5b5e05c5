#pragma once
// The main window's controls and dialogs for `nutaro convert`: the handlers
// set labels and check boxes as in the window; messages go to standard
// error as "Title: text"; on a terminal the progress is one line that is
// rewritten as the conversion advances.

#include <chrono>
#include <ostream>
#include <string>

#include "converter/memory_konvert_view.h"
#include "platform/dialogs.h"

namespace tools {

class TerminalKonvert : public converter::MemoryKonvertView, public platform::Dialogs {
 public:
  // `err` receives messages and, when `terminal`, the progress line.
  TerminalKonvert(std::ostream& err, bool terminal);

  // Each pass steps the bar, then sets the caption: the line follows the
  // caption.
  void SetProgressCaption(const std::string& caption) override;

  // Ends the progress line, so that what follows starts on a line of its own.
  void EndProgressLine();

  // A message box: its title and text (line breaks kept) on standard
  // error; a question gets its most cautious answer (Cancel, No).
  platform::MessageResult ShowMessageBox(const platform::MessageBoxRequest& request) override;
  // The command names its files; no other dialog is answered.
  bool OpenFile(platform::FileDialogState&) override { return false; }
  bool SaveFile(platform::FileDialogState&) override { return false; }
  bool AskPassword(std::string& password) override;
  bool AskLogin(platform::LoginRequest&) override { return false; }

 private:
  // Rewrites the progress line when it is due: a terminal is written at a
  // pace a person can read, and the last entry is always shown.
  void ShowProgressLine();

  std::ostream& err_;
  bool terminal_;
  bool lineShown_ = false;
  std::chrono::steady_clock::time_point lastShown_;
};

}  // namespace tools
