#include "app/guarded_handler.h"

#include <QPushButton>
#include <gtest/gtest.h>
#include <stdexcept>

#include "platform/errors.h"
#include "platform/testing/scripted_dialogs.h"

namespace app {
namespace {

using platform::testing::ScriptedDialogs;

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(ErrorBoxText("Datei fehlt"), "Datei fehlt.");
  EXPECT_EQ(ErrorBoxText("Datei fehlt!"), "Datei fehlt!");
  EXPECT_EQ(ErrorBoxText("Datei fehlt."), "Datei fehlt.");
  EXPECT_EQ(ErrorBoxText("Fehler 42"), "Fehler 42.");
  EXPECT_EQ(ErrorBoxText("Pfad:\r"), "Pfad:\r") << "a line break sorts before \".\"";
  EXPECT_EQ(ErrorBoxText("Größe"), "Größe.");
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(RunGuarded, ShowsAnEscapedErrorInTheApplicationsErrorBox) {
  ScriptedDialogs dialogs;
  platform::ScopedDialogs inForce(dialogs);
  RunGuarded([] { throw std::runtime_error("AccessTable1: Tabelle fehlt"); });
  RunGuarded([] { throw std::runtime_error("Das Passwort ist falsch !"); });
  RunGuarded([] { throw std::runtime_error(""); });

  const std::vector<platform::MessageBoxRequest> shown = dialogs.Messages();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, "Nutaro - Konverter 2.60");
  EXPECT_EQ(shown[0].icon, platform::MessageIcon::kError);
  EXPECT_EQ(shown[0].buttons, platform::MessageButtons::kOk);
  EXPECT_EQ(shown[0].text, "AccessTable1: Tabelle fehlt.");
  EXPECT_EQ(shown[1].text, "Das Passwort ist falsch !");
  EXPECT_EQ(shown[2].text, "");
}

TEST(RunGuarded, AbortIsSilentAndNothingEverEscapes) {
  ScriptedDialogs dialogs;
  platform::ScopedDialogs inForce(dialogs);
  bool ran = false;
  RunGuarded([&] { ran = true; });
  RunGuarded([] { throw platform::EAbort(); });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(dialogs.Messages().empty());

  RunGuarded([] { throw 42; });
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_FALSE(dialogs.Messages()[0].text.empty());
}

TEST(ErrorBoxDisplay, ShowsEngineReportsLikeTheErrorsOfHandlers) {
  ScriptedDialogs dialogs;
  platform::ScopedDialogs inForce(dialogs);
  ErrorBoxDisplay display;
  platform::ScopedErrorDisplay displayInForce(display);
  platform::ShowApplicationError(std::runtime_error("DBT1: Table is not in edit or insert mode"));
  platform::ShowApplicationError(platform::EAbort());
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0].title, "Nutaro - Konverter 2.60");
  EXPECT_EQ(dialogs.Messages()[0].icon, platform::MessageIcon::kError);
  EXPECT_EQ(dialogs.Messages()[0].text, "DBT1: Table is not in edit or insert mode.");
}

class FailingHandler : public QObject {
 public:
  void Fail() { throw std::runtime_error("Fehler im Handler"); }
};

TEST(ConnectGuarded, AClickWhoseHandlerFailsShowsTheErrorBoxAndReturns) {
  ScriptedDialogs dialogs;
  platform::ScopedDialogs inForce(dialogs);
  QPushButton button;
  FailingHandler handler;
  ConnectGuarded(&button, &QPushButton::clicked, &handler, &FailingHandler::Fail);
  button.click();
  button.click();
  EXPECT_EQ(dialogs.MessageTexts(),
            (std::vector<std::string>{"Fehler im Handler.", "Fehler im Handler."}));
}

}  // namespace
}  // namespace app
