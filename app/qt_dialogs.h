#pragma once

#include <QStringList>
#include <string>

#include "platform/dialogs.h"

class QWidget;

namespace app {

// The owner handle of platform::MessageBoxRequest for a window.
inline const void* OwnerHandle(const QWidget* window) { return window; }

// The dialogs of the running application, shown with Qt: message boxes,
// the file dialogs, the password prompt and the login prompt. All are modal.
// Installed at start-up with platform::ScopedDialogs.
class QtDialogs : public platform::Dialogs {
 public:
  // A message box over its owner (when the owner is a live window; any
  // other handle counts as none). A box without a title shows the
  // application title, as a desktop program's plain message boxes do. Line
  // breaks "\r", "\n" or "\r\n" all break the line; the text is never read
  // as markup.
  platform::MessageResult ShowMessageBox(const platform::MessageBoxRequest& request) override;

  // File dialogs offering the entries of `state.filter`, starting at
  // `state.filterIndex` and `state.fileName`; on acceptance they report the
  // chosen path and the 1-based index of the filter in force. The open
  // dialog accepts only existing files.
  bool OpenFile(platform::FileDialogState& state) override;
  bool SaveFile(platform::FileDialogState& state) override;

  bool AskPassword(std::string& password) override;
  bool AskLogin(platform::LoginRequest& login) override;
};

// The name filters of a file dialog for a filter string of
// "description|pattern" pairs, one per pair, as "description (patterns)";
// a description that already ends with its patterns in brackets is kept
// as it is. A description without a pattern is dropped.
QStringList NameFilters(const std::string& filter);

}  // namespace app
