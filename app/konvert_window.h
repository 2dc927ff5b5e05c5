#pragma once

#include <QMainWindow>
#include <memory>

#include "platform/dialogs.h"

namespace Ui {
class TKonvert;
}

namespace app {

class THilfe;
class TUeber;

// The main window "Konvert": source and target rows, the conversion group
// with its progress bar and "&Konvertieren", the menu, and the hidden
// controls that carry values during a conversion. Closing it ends the
// application. Every handler runs through RunGuarded.
class TKonvert : public QMainWindow {
  Q_OBJECT

 public:
  // Size of the client area below the menu; the window cannot be resized.
  static constexpr int kClientWidth = 576;
  static constexpr int kClientHeight = 332;

  explicit TKonvert(QWidget* parent = nullptr);
  ~TKonvert() override;
  TKonvert(const TKonvert&) = delete;
  TKonvert& operator=(const TKonvert&) = delete;

  // The windows the help menu shows modally. They are created after this
  // one, so they are handed over once they exist; they must stay alive while
  // this window takes commands. Until then the menu items do nothing.
  void SetMenuWindows(TUeber* ueber, THilfe* hilfe);

  // The state of the open-file dialog (source) and save-file dialog
  // (target): filter, filter index and the chosen name, which outlives the
  // dialog.
  const platform::FileDialogState& FileOpen() const { return fileOpen_; }
  const platform::FileDialogState& FileSave() const { return fileSave_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Enter anywhere presses the default button "&Konvertieren", unless a
  // push button has the focus: that one is pressed.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ConnectHandlers();

  void BitBtn1Click();
  void BitBtn2Click();
  void Button1Click();
  void BtZ50Click();
  void Beenden1Click();
  void Hilfe1Click();
  void NutaroimInternet1Click();
  void ber1Click();

  std::unique_ptr<Ui::TKonvert> ui_;
  platform::FileDialogState fileOpen_;
  platform::FileDialogState fileSave_;
  TUeber* ueber_ = nullptr;
  THilfe* hilfe_ = nullptr;
};

}  // namespace app
