#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <memory>
#include <string>

#include "converter/konvert_components.h"
#include "converter/konvert_handlers.h"
#include "converter/konvert_view.h"
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
// application. It owns the storage components; its buttons run the
// converter's handlers, to which it is the view. Every handler runs through
// RunGuarded.
class TKonvert : public QMainWindow, public converter::KonvertView {
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
  const platform::FileDialogState& FileOpen() const { return components_.FileOpen; }
  const platform::FileDialogState& FileSave() const { return components_.FileSave; }

  // The storage components the conversions work with.
  converter::KonvertComponents& Components() { return components_; }

  // A file named on the command line: a ".mdb" becomes the chosen source,
  // a ".ntd" the chosen target, as if picked in the dialogs; any other
  // name is ignored.
  void OpenFromCommandLine(const std::string& path);

  // converter::KonvertView: the controls the handlers read and set.
  std::string Text(converter::StaticText control) const override;
  void SetText(converter::StaticText control, const std::string& text) override;
  bool Checked(converter::CheckBox control) const override;
  void SetChecked(converter::CheckBox control, bool checked) override;
  bool Enabled(converter::Control control) const override;
  void SetEnabled(converter::Control control, bool enabled) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgressPosition(int position) override;
  void StepProgress() override;
  void SetProgressCaption(const std::string& caption) override;
  const void* Owner() const override;

 protected:
  void showEvent(QShowEvent* event) override;
  // The window cannot be closed while a conversion runs.
  void closeEvent(QCloseEvent* event) override;
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

  // Lets the window paint what a running conversion changed, now and then.
  void PaintWhileConverting();
  QWidget* Widget(converter::StaticText control) const;
  QWidget* Widget(converter::Control control) const;

  std::unique_ptr<Ui::TKonvert> ui_;
  converter::KonvertComponents components_;
  converter::KonvertHandlers handlers_{*this, components_};
  bool converting_ = false;
  QElapsedTimer paintClock_;
  TUeber* ueber_ = nullptr;
  THilfe* hilfe_ = nullptr;
};

}  // namespace app
