#include "app/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/application_title.h"
#include "app/login_dialog.h"
#include "app/password_dialog.h"

namespace app {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

// The window behind an owner handle, or nullptr when the handle is no live
// window: a stale or foreign handle must never be dereferenced.
QWidget* LiveWindow(const void* handle) {
  if (handle == nullptr) return nullptr;
  for (QWidget* widget : QApplication::allWidgets()) {
    if (static_cast<const void*>(widget) == handle) return widget;
  }
  return nullptr;
}

// The platform's line break in messages is a lone carriage return.
QString WithNewlines(const std::string& text) {
  QString result = QString::fromStdString(text);
  result.replace("\r\n", "\n");
  result.replace('\r', '\n');
  return result;
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation: return QMessageBox::Information;
    case MessageIcon::kWarning: return QMessageBox::Warning;
    case MessageIcon::kError: return QMessageBox::Critical;
    case MessageIcon::kQuestion: return QMessageBox::Question;
    case MessageIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton escape;  // what the close box and Esc answer
};

ButtonSet ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOkCancel: return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel};
    case MessageButtons::kYesNo: return {QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
    case MessageButtons::kYesNoCancel:
      return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel};
    case MessageButtons::kOk: break;
  }
  return {QMessageBox::Ok, QMessageBox::Ok};
}

MessageResult FromQtButton(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Cancel: return MessageResult::kCancel;
    case QMessageBox::Yes: return MessageResult::kYes;
    case QMessageBox::No: return MessageResult::kNo;
    default: return MessageResult::kOk;
  }
}

bool RunFileDialog(platform::FileDialogState& state, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !state.overwritePrompt);
  if (!state.title.empty()) dialog.setWindowTitle(QString::fromStdString(state.title));
  const QStringList filters = NameFilters(state.filter);
  dialog.setNameFilters(filters);
  if (state.filterIndex >= 1 && state.filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters.at(state.filterIndex - 1));
  }
  if (!state.fileName.empty()) dialog.selectFile(QString::fromStdString(state.fileName));

  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  state.fileName = dialog.selectedFiles().constFirst().toStdString();
  const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
  if (chosen >= 0) state.filterIndex = static_cast<int>(chosen) + 1;
  return true;
}

}  // namespace

QStringList NameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts.at(i);
    // Several patterns are separated by ";" in the filter string and by
    // blanks in a Qt name filter.
    const QString patterns = QString(parts.at(i + 1)).replace(';', ' ');
    const QString bracketed = "(" + patterns + ")";
    result.append(description.endsWith(bracketed) ? description
                                                   : description + " " + bracketed);
  }
  return result;
}

MessageResult QtDialogs::ShowMessageBox(const platform::MessageBoxRequest& request) {
  const ButtonSet buttons = ToQtButtons(request.buttons);
  // Engines raise plain messages without a caption of their own (a wrong
  // table password, say); an empty caption bar would not tell whose box it is.
  const QString title = request.title.empty() ? QString::fromUtf8(kApplicationTitle)
                                              : QString::fromStdString(request.title);
  QMessageBox box(ToQtIcon(request.icon), title,
                  WithNewlines(request.text), buttons.buttons, LiveWindow(request.owner));
  box.setTextFormat(Qt::PlainText);
  box.setEscapeButton(buttons.escape);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  return FromQtButton(clicked != nullptr ? box.standardButton(clicked) : buttons.escape);
}

bool QtDialogs::OpenFile(platform::FileDialogState& state) {
  return RunFileDialog(state, QFileDialog::AcceptOpen);
}

bool QtDialogs::SaveFile(platform::FileDialogState& state) {
  return RunFileDialog(state, QFileDialog::AcceptSave);
}

bool QtDialogs::AskPassword(std::string& password) {
  PasswordDialog dialog(QString::fromStdString(password), QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return false;
  password = dialog.Password().toStdString();
  return true;
}

bool QtDialogs::AskLogin(platform::LoginRequest& login) {
  TDbLogin dialog(login, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.CopyEntriesTo(login);
  return true;
}

}  // namespace app
