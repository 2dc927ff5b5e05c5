#pragma once
// The main window driven through whole conversions: dialogs answered from
// a script, buttons clicked, files written into a folder of the test's own.
// Every conversion can be repeated by `nutaro convert` on copies made
// before it ran (CommandTwin), to hold the command to the same result.

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>

#include "app/konverter_windows.h"
#include "app/konvert_window.h"
#include "platform/format_settings.h"
#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/temp_folder.h"
#include "tools/tests/program_run.h"

namespace app::testing {

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override;

  std::string Path(const std::string& name) const { return folder_.File(name); }

  // The dialogs answered as a person would, then the button clicked.
  void ChooseSource(const std::string& path);
  void ChooseTarget(const std::string& path, int filterIndex);
  void CancelSource();
  void CancelTarget();
  void AllowAppending();
  void SetCategories(bool copy);
  // Presses "&Konvertieren"; answers every caption the bar showed meanwhile.
  QStringList Convert();

  QString Shown(const char* control) const;
  bool IsEnabled(const char* control) const;
  bool IsChecked(const char* control) const;
  // The texts of the message boxes shown so far; forgets them.
  std::vector<std::string> TakeMessages();

  platform::ScopedFormatSettings german_{platform::GermanFormatSettings()};
  platform::testing::ScriptedDialogs dialogs_;
  platform::ScopedDialogs dialogsInForce_{dialogs_};
  KonverterWindows windows_;
  TKonvert& konvert_ = windows_.Konvert();
  platform::testing::TempFolder folder_;
};

// `nutaro convert` beside a window's conversion: made before the window
// converts, it copies the source and (when it exists) the target into a
// folder of its own under the same names.
class CommandTwin {
 public:
  CommandTwin(const std::string& source, const std::string& target);

  // Runs `nutaro convert` on the copies with `options`.
  tools::testing::ToolRun Convert(const std::string& options = "");
  // Checks that the command's target dumps byte for byte as `target`
  // (whose dump is returned).
  std::string ExpectSameDump(const std::string& target);

 private:
  platform::testing::TempFolder folder_;
  std::string source_;
  std::string target_;
};

// `nutaro dump FILE`'s document (fails the test when it fails).
std::string Dump(const std::string& file);

}  // namespace app::testing
